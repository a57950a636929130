#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_finnish = {{
    "Suomi",
    "Päivitys",
    "Tämä ohjelma päivittää pelin versioon $VERSION$",
    "Jatka",
    "Lopeta",
    "Keskeytä",
    "Yritä uudelleen",
    "Tietojen eheystarkistus epäonnistui. Päivitystiedosto on vioittunut tai puutteellinen, mahdollisesti keskeytyneen "
    "latauksen vuoksi.",
    "Päivitys keskeytettiin käyttäjän pyynnöstä. Pelin tiedostoja ei muutettu.",
    "Pelin tiedostoja ei muutettu. Voit suorittaa tämän päivityksen uudelleen, kun ongelma on korjattu.",
    "Tarkistetaan tietojen eheyttä...",
    "Peliä ei löytynyt! Se ei ehkä ole asentunut oikein, tai joitakin tärkeitä tiedostoja puuttuu. Kopioi tämä "
    "päivitys kansioon, johon peli on asennettu (siinä pitäisi olla tiedosto base.ktl), ja käynnistä se sieltä.",
    "Pelin versiota ei tueta! Tämä päivitys ei tue käyttämääsi pelin versiota, tai pelin tiedostot ovat vioittuneet.",
    "Tarkistetaan tiedostojen tilaa...",
    "Varoitus: Kohdelevyllä ei ole riittävästi vapaata tilaa. Tarvitaan vähintään $SPACE$ Mt.\nHaluatko silti jatkaa?",
    "Päivitys on käynnissä! Haluatko varmasti keskeyttää sen?",
    "Tiedoston luominen epäonnistui!",
    "Tiedoston avaaminen epäonnistui!",
    "Tiedoston lukeminen epäonnistui!",
    "Tiedostoon kirjoittaminen epäonnistui! Onko levy täynnä?",
    "Tiedoston siirtäminen tai poistaminen epäonnistui!",
    "Sisäinen virhe!",
    "Pelin asennus on vioittunut. Asenna peli uudelleen ennen kuin suoritat tämän päivityksen uudestaan.",
    "Peli päivitettiin onnistuneesti.",
    "Peli on jo ajan tasalla.",
    "Päivitetään tiedostoja...\nTämä voi kestää hetken.",
    "Peli tai tämä päivitysohjelma on jo käynnissä...",
    "Sinulla ei ole tarvittavia oikeuksia tässä järjestelmässä. Kirjaudu sisään järjestelmänvalvojana ja suorita tämä "
    "päivitys uudelleen.",
    "Jatka silti",
    "Lisätietoja tästä ongelmasta voi löytyä lokitiedostosta $LOGFILE$",
    "Varmista, että sinulla on riittävät oikeudet pelin tiedostojen käyttämiseen. Jos käytössäsi on "
    "virustorjuntaohjelma, poista se väliaikaisesti käytöstä päivityksen asentamisen ajaksi.",
    "Päivitys on kesken! Haluatko varmasti lopettaa?",
    "Päivitys",
    steam_unsupported_text,
}};

} // namespace orvo
