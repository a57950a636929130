#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_slovak = {{
    "Slovensky",
    "Aktualizácia",
    "Tento program aktualizuje hru na verziu $VERSION$",
    "Pokračovať",
    "Ukončiť",
    "Prerušiť",
    "Skúsiť znova",
    "Kontrola integrity údajov zlyhala. Súbor aktualizácie je poškodený alebo neúplný, pravdepodobne v dôsledku "
    "prerušeného sťahovania.",
    "Aktualizácia bola prerušená na žiadosť používateľa. Herné súbory neboli zmenené.",
    "Herné súbory neboli zmenené. Po odstránení problému môžete túto aktualizáciu spustiť znova.",
    "Kontrola integrity údajov...",
    "Hra sa nenašla! Je možné, že nebola správne nainštalovaná alebo chýbajú niektoré dôležité súbory. Skúste túto "
    "aktualizáciu skopírovať do priečinka, v ktorom je hra nainštalovaná (mal by obsahovať súbor base.ktl), a spustiť "
    "ju odtiaľ.",
    "Nepodporovaná verzia hry! Táto aktualizácia nepodporuje túto verziu hry alebo sú herné súbory poškodené.",
    "Kontrola stavu súborov...",
    "Upozornenie: Na cieľovom disku nie je dostatok voľného miesta, potrebných je aspoň $SPACE$ MB.\nChcete napriek "
    "tomu pokračovať?",
    "Aktualizácia prebieha! Naozaj ju chcete prerušiť?",
    "Súbor sa nepodarilo vytvoriť!",
    "Súbor sa nepodarilo otvoriť!",
    "Súbor sa nepodarilo prečítať!",
    "Do súboru sa nepodarilo zapisovať! Nie je disk plný?",
    "Súbor sa nepodarilo presunúť ani odstrániť!",
    "Interná chyba!",
    "Inštalácia hry je poškodená. Pred opätovným spustením tejto aktualizácie musíte hru preinštalovať.",
    "Aktualizácia hry bola úspešne dokončená.",
    "Hra je už aktuálna.",
    "Aktualizujú sa súbory...\nMôže to chvíľu trvať.",
    "Hra alebo ďalšia inštancia tohto aktualizačného programu je už spustená...",
    "V tomto systéme nemáte potrebné oprávnenia. Prihláste sa ako správca a spustite túto aktualizáciu znova.",
    "Aj tak pokračovať",
    "Ďalšie informácie o tomto probléme môžu byť k dispozícii v protokole $LOGFILE$",
    "Uistite sa, že máte dostatočné oprávnenia na prístup k herným súborom. Ak používate antivírusový program, počas "
    "aktualizácie ho dočasne vypnite.",
    "Aktualizácia nie je dokončená! Naozaj chcete skončiť?",
    "Aktualizácia",
    steam_unsupported_text,
}};

} // namespace orvo
