#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_swedish = {{
    "Svenska",
    "Uppdatering",
    "Det här programmet uppdaterar spelet till version $VERSION$",
    "Fortsätt",
    "Avsluta",
    "Avbryt",
    "Försök igen",
    "Integritetskontrollen av data misslyckades. Uppdateringsfilen är skadad eller ofullständig, kanske på grund av en "
    "avbruten nedladdning.",
    "Uppdateringen avbröts på användarens begäran. Spelfilerna har inte ändrats.",
    "Spelfilerna har inte ändrats. Du kan köra uppdateringen igen när problemet är åtgärdat.",
    "Kontrollerar dataintegritet...",
    "Spelet hittades inte! Det kan vara felaktigt installerat, eller så saknas viktiga filer. Prova att kopiera den "
    "här uppdateringen till mappen där spelet är installerat (den ska innehålla filen base.ktl) och köra den därifrån.",
    "Spelversionen stöds inte! Den här uppdateringen stöder inte den här versionen av spelet, eller så är spelfilerna "
    "skadade.",
    "Kontrollerar filernas tillstånd...",
    "Varning: Det finns inte tillräckligt med ledigt utrymme på måldisken. Minst $SPACE$ MB krävs.\nVill du fortsätta "
    "ändå?",
    "Uppdateringen pågår! Vill du verkligen avbryta?",
    "Det gick inte att skapa filen!",
    "Det gick inte att öppna filen!",
    "Det gick inte att läsa filen!",
    "Det gick inte att skriva till filen! Är disken full?",
    "Det gick inte att flytta eller ta bort filen!",
    "Internt fel!",
    "Spelinstallationen är skadad. Du måste installera om spelet innan du kör den här uppdateringen igen.",
    "Speluppdateringen har slutförts.",
    "Spelet är redan uppdaterat.",
    "Uppdaterar filer...\nDet kan ta en stund.",
    "Spelet eller en annan instans av uppdateringsprogrammet körs redan...",
    "Du har inte tillräcklig behörighet i systemet. Logga in som administratör och kör uppdateringen igen.",
    "Fortsätt ändå",
    "Mer information om problemet kan finnas i loggfilen $LOGFILE$",
    "Kontrollera att du har tillräcklig behörighet till spelfilerna. Om du använder ett antivirusprogram bör du "
    "inaktivera det tillfälligt medan uppdateringen installeras.",
    "Uppdateringen är inte klar! Vill du verkligen avsluta?",
    "Uppdatering",
    steam_unsupported_text,
}};

} // namespace orvo
