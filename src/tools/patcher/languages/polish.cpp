#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_polish = {{
    "Polski",
    "aktualizacja",
    "Ten program zaktualizuje grę do wersji $VERSION$",
    "Dalej",
    "Zakończ",
    "Przerwij",
    "Ponów",
    "Sprawdzanie integralności danych nie powiodło się. Plik aktualizacji jest uszkodzony lub niekompletny, być może "
    "z powodu przerwanego pobierania.",
    "Aktualizacja została przerwana na żądanie użytkownika. Pliki gry nie zostały zmienione.",
    "Pliki gry nie zostały zmienione. Po usunięciu problemu możesz ponownie zastosować tę aktualizację.",
    "Sprawdzanie integralności danych...",
    "Nie znaleziono gry! Być może nie została poprawnie zainstalowana lub brakuje ważnych plików. Skopiuj tę "
    "aktualizację do folderu, w którym zainstalowana jest gra (powinien zawierać plik base.ktl), i uruchom ją "
    "stamtąd.",
    "Nieobsługiwana wersja gry! Ta aktualizacja nie obsługuje tej wersji gry albo pliki gry są uszkodzone.",
    "Sprawdzanie stanu plików...",
    "Uwaga: na dysku docelowym jest za mało wolnego miejsca, potrzeba co najmniej $SPACE$ MB.\nCzy mimo to chcesz "
    "kontynuować?",
    "Trwa aktualizacja! Czy na pewno chcesz ją przerwać?",
    "Nie można utworzyć pliku!",
    "Nie można otworzyć pliku!",
    "Nie można odczytać pliku!",
    "Nie można zapisać pliku! Czy dysk jest pełny?",
    "Nie można przenieść ani usunąć pliku!",
    "Błąd wewnętrzny!",
    "Instalacja gry jest uszkodzona. Zanim ponownie uruchomisz tę aktualizację, musisz zainstalować grę od nowa.",
    "Aktualizacja gry zakończyła się pomyślnie.",
    "Gra jest już aktualna.",
    "Aktualizowanie plików...\nTo może chwilę potrwać.",
    "Inna kopia gry lub tego programu aktualizującego jest już uruchomiona...",
    "Nie masz odpowiednich uprawnień w tym systemie. Zaloguj się jako administrator i ponownie uruchom tę "
    "aktualizację.",
    "Kontynuuj mimo to",
    "Więcej informacji o tym problemie może zawierać dziennik $LOGFILE$",
    "Upewnij się, że masz wystarczające uprawnienia dostępu do plików gry. Jeśli używasz programu antywirusowego, "
    "wyłącz go na czas instalowania aktualizacji.",
    "Aktualizacja nie została zakończona! Czy na pewno chcesz wyjść?",
    "Aktualizacja",
    steam_unsupported_text,
}};

} // namespace orvo
