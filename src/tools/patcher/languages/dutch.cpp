#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_dutch = {{
    "Nederlands",
    "bijwerken",
    "Dit programma werkt het spel bij naar versie $VERSION$",
    "Doorgaan",
    "Afsluiten",
    "Afbreken",
    "Opnieuw",
    "Controle van de gegevensintegriteit mislukt. Het updatebestand is beschadigd of onvolledig, mogelijk door een "
    "afgebroken download.",
    "De update is op verzoek van de gebruiker afgebroken. De spelbestanden zijn niet gewijzigd.",
    "De spelbestanden zijn niet gewijzigd. Je kunt deze update opnieuw uitvoeren nadat je het probleem hebt "
    "opgelost.",
    "Gegevensintegriteit controleren...",
    "Spel niet gevonden! Mogelijk is het niet goed geïnstalleerd of ontbreken er belangrijke bestanden. Kopieer deze "
    "update naar de map waarin het spel is geïnstalleerd (daarin hoort het bestand base.ktl te staan) en start hem "
    "vanaf daar.",
    "Niet-ondersteunde spelversie! Deze update ondersteunt deze versie van het spel niet, of de spelbestanden zijn "
    "beschadigd.",
    "Status van bestanden controleren...",
    "Waarschuwing: er is onvoldoende vrije ruimte op de doelschijf; er is minimaal $SPACE$ MB nodig.\nWil je toch "
    "doorgaan?",
    "De update is bezig! Weet je zeker dat je wilt afbreken?",
    "Kan bestand niet maken!",
    "Kan bestand niet openen!",
    "Kan bestand niet lezen!",
    "Kan niet naar bestand schrijven! Is de schijf vol?",
    "Kan bestand niet verplaatsen of verwijderen!",
    "Interne fout!",
    "De installatie van het spel is beschadigd. Installeer het spel opnieuw voordat je deze update weer uitvoert.",
    "Het spel is met succes bijgewerkt.",
    "Het spel is al up-to-date.",
    "Bestanden bijwerken...\nDit kan even duren.",
    "Er is al een ander exemplaar van het spel of van dit updateprogramma actief...",
    "Je hebt op dit systeem niet de benodigde rechten. Meld je aan als beheerder en voer deze update daarna opnieuw "
    "uit.",
    "Toch doorgaan",
    "Meer informatie over dit probleem staat mogelijk in het logbestand $LOGFILE$",
    "Zorg dat je voldoende rechten hebt om bij de spelbestanden te kunnen. Gebruik je een virusscanner, schakel die "
    "dan tijdelijk uit zolang de update bezig is.",
    "De update is nog niet voltooid! Weet je zeker dat je wilt afsluiten?",
    "Bijwerken",
    steam_unsupported_text,
}};

} // namespace orvo
