#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_silesian = {{
    "Ślōnskŏ gŏdka",
    "aktualizacyjŏ",
    "Gra bydzie zaktualizowanŏ do wersyje $VERSION$",
    "Dalij",
    "Zakōńcz",
    "Przerwij",
    "Sprōbuj zaś",
    "Kontrola integralności danych sie niy podarziła. Plik aktualizacyje je uszkodzōny abo niyfertich, możno skuli "
    "przerwanego ściōngania.",
    "Aktualizacyjŏ ôstała przerwanŏ na żōndanie użytkownika. Pliki gry niy ôstały zmiyniōne.",
    "Pliki gry niy ôstały zmiyniōne. Jak naprawisz problym, ta aktualizacyjŏ może być zaś puszczōnŏ.",
    "Kontrola integralności danych...",
    "Niy szło znojść gry! Możno niy ôstała dobrze zainstalowanŏ abo brakuje jakichś ważnych plikōw. Skopiuj tyn "
    "program aktualizacyje do katalogu, kaj je zainstalowanŏ gra (tam musi być plik base.ktl), i puść go stamtōnd.",
    "Niyôbsługiwanŏ wersyjŏ gry! Ta aktualizacyjŏ niy ôbsługuje tyj wersyje gry abo pliki gry sōm uszkodzōne.",
    "Sprawdzanie stanu plikōw...",
    "Pozōr: na docelowym dysku ni ma dość wolnego miyjsca, trzeba co nojmynij $SPACE$ MB.\nChcesz i tak iś dalij?",
    "Aktualizacyjŏ je w toku! Na isto chcesz przerwać?",
    "Niy idzie utworzyć pliku!",
    "Niy idzie ôtworzyć pliku!",
    "Niy idzie przeczytać pliku!",
    "Niy idzie zapisać pliku! Możno dysk je połny?",
    "Niy idzie przeniyść abo skasować pliku!",
    "Wewnyntrzny feler!",
    "Instalacyjŏ gry je uszkodzōnŏ. Gra musi być na nowo zainstalowanŏ, zanim ta aktualizacyjŏ bydzie zaś puszczōnŏ.",
    "Gra ôstała dobrze zaktualizowanŏ.",
    "Gra je już aktualnŏ.",
    "Aktualizowanie plikōw...\nTo może trocha potrwać.",
    "Już chodzi inkszŏ kopijŏ gry abo tego programu aktualizacyje...",
    "Niy mosz wystarczajōncych uprawniyń w tym systymie. Zaloguj sie jako administrator i puść zaś tyn program.",
    "I tak dalij",
    "Wiyncyj informacyji ô tym problymie możno znojdziesz w logu $LOGFILE$",
    "Sprawdź, eli mosz dość uprawniyń, coby mieć dostymp do plikōw gry. Jeźli mosz program antywirusowy, zastŏw go "
    "na czas aktualizacyje.",
    "Aktualizacyjŏ niy je skōńczōnŏ! Na isto chcesz wyjś?",
    "Aktualizacyjŏ",
    steam_unsupported_text,
}};

} // namespace orvo
