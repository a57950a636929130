#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_czech = {{
    "Česky",
    "Aktualizace",
    "Tento program aktualizuje hru na verzi $VERSION$",
    "Pokračovat",
    "Ukončit",
    "Přerušit",
    "Zkusit znovu",
    "Kontrola integrity dat selhala. Soubor s aktualizací je poškozený nebo neúplný, nejspíš kvůli přerušenému "
    "stahování.",
    "Aktualizace byla přerušena na žádost uživatele. Soubory hry nebyly změněny.",
    "Soubory hry nebyly změněny. Po odstranění problému můžete aktualizaci spustit znovu.",
    "Kontrola integrity dat...",
    "Hra nebyla nalezena! Možná nebyla správně nainstalována nebo chybí některé důležité soubory. Zkuste tuto "
    "aktualizaci zkopírovat do složky, kde je hra nainstalována (měla by obsahovat soubor base.ktl), a spustit ji "
    "odtamtud.",
    "Nepodporovaná verze hry! Tato aktualizace nepodporuje vaši verzi hry, nebo jsou soubory hry poškozené.",
    "Kontrola stavu souborů...",
    "Upozornění: Na cílovém disku není dostatek volného místa, je potřeba alespoň $SPACE$ MB.\nChcete přesto "
    "pokračovat?",
    "Aktualizace právě probíhá! Opravdu ji chcete přerušit?",
    "Soubor nelze vytvořit!",
    "Soubor nelze otevřít!",
    "Soubor nelze přečíst!",
    "Do souboru nelze zapisovat! Není disk plný?",
    "Soubor nelze přesunout ani smazat!",
    "Vnitřní chyba!",
    "Instalace hry je poškozená. Před dalším spuštěním této aktualizace je nutné hru přeinstalovat.",
    "Aktualizace hry byla úspěšně dokončena.",
    "Hra je již aktuální.",
    "Probíhá aktualizace souborů...\nMůže to chvíli trvat.",
    "Hra nebo jiná kopie této aktualizace již běží...",
    "Nemáte v tomto systému potřebná oprávnění. Přihlaste se jako správce a spusťte tuto aktualizaci znovu.",
    "Přesto pokračovat",
    "Více informací o tomto problému může obsahovat záznam v souboru $LOGFILE$",
    "Ujistěte se, že máte dostatečná práva pro přístup k souborům hry. Pokud používáte antivirový program, po dobu "
    "instalace této aktualizace ho pozastavte.",
    "Aktualizace není dokončena! Opravdu ji chcete ukončit?",
    "Aktualizace",
    steam_unsupported_text,
}};

} // namespace orvo
