#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_lithuanian = {{
    "Lietuviškai",
    "atnaujinimas",
    "Ši programa atnaujins žaidimą iki $VERSION$ versijos",
    "Tęsti",
    "Išeiti",
    "Nutraukti",
    "Kartoti",
    "Duomenų vientisumo patikra nepavyko. Atnaujinimo failas sugadintas arba nepilnas, galbūt dėl nutraukto "
    "atsisiuntimo.",
    "Atnaujinimas nutrauktas naudotojo prašymu. Žaidimo failai nebuvo pakeisti.",
    "Žaidimo failai nebuvo pakeisti. Pašalinę problemą, šį atnaujinimą galėsite pritaikyti dar kartą.",
    "Tikrinamas duomenų vientisumas...",
    "Žaidimas nerastas! Galbūt jis buvo įdiegtas netinkamai arba trūksta svarbių failų. Pabandykite nukopijuoti šį "
    "atnaujinimą į aplanką, kuriame įdiegtas žaidimas (jame turėtų būti failas base.ktl), ir paleisti jį iš ten.",
    "Nepalaikoma žaidimo versija! Šis atnaujinimas nepalaiko šios žaidimo versijos arba žaidimo failai sugadinti.",
    "Tikrinama failų būsena...",
    "Įspėjimas: paskirties diske nepakanka laisvos vietos, reikia bent $SPACE$ MB.\nVis tiek tęsti?",
    "Vyksta atnaujinimas! Ar tikrai norite jį nutraukti?",
    "Nepavyko sukurti failo!",
    "Nepavyko atverti failo!",
    "Nepavyko nuskaityti failo!",
    "Nepavyko įrašyti į failą! Gal diskas pilnas?",
    "Nepavyko perkelti arba ištrinti failo!",
    "Vidinė klaida!",
    "Žaidimo įdiegtis sugadinta. Prieš vėl paleisdami šį atnaujinimą, žaidimą turite įdiegti iš naujo.",
    "Žaidimas sėkmingai atnaujintas.",
    "Žaidimas jau yra naujausios versijos.",
    "Atnaujinami failai...\nTai gali šiek tiek užtrukti.",
    "Jau veikia kitas žaidimo arba šios atnaujinimo programos egzempliorius...",
    "Šioje sistemoje neturite reikiamų teisių. Prisijunkite kaip administratorius ir paleiskite šį atnaujinimą dar "
    "kartą.",
    "Vis tiek tęsti",
    "Daugiau informacijos apie šią problemą gali būti žurnalo faile $LOGFILE$",
    "Įsitikinkite, kad turite pakankamas teises pasiekti žaidimo failus. Jei naudojate antivirusinę programą, "
    "diegdami šį atnaujinimą laikinai ją išjunkite.",
    "Atnaujinimas nebaigtas! Ar tikrai norite išeiti?",
    "Atnaujinimas",
    steam_unsupported_text,
}};

} // namespace orvo
