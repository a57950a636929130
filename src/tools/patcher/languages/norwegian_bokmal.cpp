#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_norwegian_bokmal = {{
    "Norsk (bokmål)",
    "oppdatering",
    "Dette programmet oppdaterer spillet til versjon $VERSION$",
    "Fortsett",
    "Avslutt",
    "Avbryt",
    "Prøv igjen",
    "Kontrollen av dataintegriteten mislyktes. Oppdateringsfilen er skadet eller ufullstendig, kanskje på grunn av "
    "en avbrutt nedlasting.",
    "Oppdateringen ble avbrutt av brukeren. Spillfilene ble ikke endret.",
    "Spillfilene ble ikke endret. Du kan kjøre denne oppdateringen på nytt når problemet er løst.",
    "Kontrollerer dataintegriteten...",
    "Fant ikke spillet! Det kan hende at det ikke ble riktig installert, eller at noen viktige filer mangler. Prøv å "
    "kopiere denne oppdateringen til mappen der spillet er installert (den skal inneholde filen base.ktl), og kjør "
    "den derfra.",
    "Spillversjonen støttes ikke! Denne oppdateringen støtter ikke denne versjonen av spillet, eller spillfilene er "
    "skadet.",
    "Kontrollerer filenes tilstand...",
    "Advarsel: Det er ikke nok ledig plass på måldisken. Det kreves minst $SPACE$ MB.\nVil du fortsette likevel?",
    "Oppdateringen pågår! Er du sikker på at du vil avbryte?",
    "Kan ikke opprette filen!",
    "Kan ikke åpne filen!",
    "Kan ikke lese filen!",
    "Kan ikke skrive til filen! Er disken full?",
    "Kan ikke flytte eller slette filen!",
    "Intern feil!",
    "Spillinstallasjonen er skadet. Du må installere spillet på nytt før du kjører denne oppdateringen igjen.",
    "Oppdateringen av spillet er fullført.",
    "Spillet er allerede oppdatert.",
    "Oppdaterer filer...\nDette kan ta litt tid.",
    "En annen forekomst av spillet eller dette oppdateringsprogrammet kjører allerede...",
    "Du har ikke de nødvendige rettighetene på dette systemet. Logg på som administrator, og kjør deretter denne "
    "oppdateringen på nytt.",
    "Fortsett likevel",
    "Du finner kanskje mer informasjon om problemet i loggfilen $LOGFILE$",
    "Kontroller at du har tilstrekkelige rettigheter til spillfilene. Hvis du bruker et antivirusprogram, bør du "
    "deaktivere det midlertidig mens oppdateringen installeres.",
    "Oppdateringen er ikke fullført! Er du sikker på at du vil avslutte?",
    "Oppdatering",
    steam_unsupported_text,
}};

} // namespace orvo
