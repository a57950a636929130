#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_hungarian = {{
    "Magyar",
    "frissítés",
    "Ez a program frissíti a játékot a következő verzióra: $VERSION$",
    "Tovább",
    "Kilépés",
    "Megszakítás",
    "Újra",
    "Az adatok sértetlenségének ellenőrzése sikertelen. A frissítőfájl sérült vagy hiányos, valószínűleg megszakadt "
    "a letöltése.",
    "A frissítés a felhasználó kérésére megszakadt. A játék fájljai nem módosultak.",
    "A játék fájljai nem módosultak. A hiba elhárítása után újra lefuttathatod ezt a frissítést.",
    "Adatok sértetlenségének ellenőrzése...",
    "A játék nem található! Lehet, hogy nem települt megfelelően, vagy hiányzik néhány fontos fájl. Másold ezt a "
    "frissítést abba a mappába, ahová a játék telepítve van (ebben kell lennie a base.ktl fájlnak), és onnan indítsd "
    "el.",
    "Nem támogatott játékverzió! Ez a frissítés nem támogatja a játék ezen verzióját, vagy a játék fájljai sérültek.",
    "Fájlok állapotának ellenőrzése...",
    "Figyelem! A céllemezen nincs elég szabad hely, legalább $SPACE$ MB szükséges.\nMégis folytatod?",
    "A frissítés folyamatban van! Biztosan megszakítod?",
    "Nem sikerült létrehozni a fájlt!",
    "Nem sikerült megnyitni a fájlt!",
    "Nem sikerült beolvasni a fájlt!",
    "Nem sikerült írni a fájlba! Megtelt a lemez?",
    "Nem sikerült áthelyezni vagy törölni a fájlt!",
    "Belső hiba!",
    "A játék telepítése sérült. A frissítés újbóli futtatása előtt újra kell telepítened a játékot.",
    "A játék frissítése sikeresen befejeződött.",
    "A játék már naprakész.",
    "Fájlok frissítése...\nEz eltarthat egy ideig.",
    "A játék vagy ez a frissítő már fut egy másik példányban...",
    "Nincs megfelelő jogosultságod ezen a rendszeren. Jelentkezz be rendszergazdaként, majd futtasd újra ezt a "
    "frissítést.",
    "Mégis folytatom",
    "A hibáról további információt találhatsz a naplófájlban: $LOGFILE$",
    "Győződj meg róla, hogy elegendő jogosultságod van a játék fájljainak eléréséhez. Ha vírusirtót használsz, a "
    "frissítés idejére kapcsold ki.",
    "A frissítés még nem fejeződött be! Biztosan kilépsz?",
    "Frissítés",
    steam_unsupported_text,
}};

} // namespace orvo
