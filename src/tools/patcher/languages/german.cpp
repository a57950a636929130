#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_german = {{
    "Deutsch",
    "Aktualisierung",
    "Dieses Programm aktualisiert das Spiel auf Version $VERSION$",
    "Weiter",
    "Beenden",
    "Abbrechen",
    "Wiederholen",
    "Die Prüfung der Datenintegrität ist fehlgeschlagen. Die Aktualisierungsdatei ist beschädigt oder unvollständig, "
    "möglicherweise wegen eines abgebrochenen Downloads.",
    "Die Aktualisierung wurde auf Wunsch des Benutzers abgebrochen. Die Spieldateien wurden nicht verändert.",
    "Die Spieldateien wurden nicht verändert. Sie können diese Aktualisierung erneut ausführen, sobald das Problem "
    "behoben ist.",
    "Datenintegrität wird geprüft...",
    "Spiel nicht gefunden! Möglicherweise wurde es nicht korrekt installiert oder wichtige Dateien fehlen. Kopieren "
    "Sie diese Aktualisierung in das Installationsverzeichnis des Spiels (es sollte die Datei base.ktl enthalten) und "
    "starten Sie sie von dort.",
    "Nicht unterstützte Spielversion! Diese Aktualisierung unterstützt Ihre Version des Spiels nicht, oder die "
    "Spieldateien sind beschädigt.",
    "Zustand der Dateien wird überprüft...",
    "Warnung: Auf dem Ziellaufwerk ist nicht genügend Speicherplatz frei, mindestens $SPACE$ MB werden "
    "benötigt.\nMöchten Sie trotzdem fortfahren?",
    "Die Aktualisierung läuft gerade! Möchten Sie sie wirklich abbrechen?",
    "Datei kann nicht erstellt werden!",
    "Datei kann nicht geöffnet werden!",
    "Datei kann nicht gelesen werden!",
    "Datei kann nicht geschrieben werden! Ist das Laufwerk voll?",
    "Datei kann nicht verschoben oder gelöscht werden!",
    "Interner Fehler!",
    "Die Installation des Spiels ist beschädigt. Installieren Sie das Spiel neu, bevor Sie diese Aktualisierung erneut "
    "ausführen.",
    "Das Spiel wurde erfolgreich aktualisiert.",
    "Das Spiel ist bereits auf dem neuesten Stand.",
    "Dateien werden aktualisiert...\nDies kann eine Weile dauern.",
    "Das Spiel oder dieses Aktualisierungsprogramm wird bereits ausgeführt...",
    "Sie verfügen auf diesem System nicht über die erforderlichen Berechtigungen. Melden Sie sich als Administrator an "
    "und führen Sie diese Aktualisierung dann erneut aus.",
    "Trotzdem fortfahren",
    "Weitere Informationen zu diesem Problem finden Sie möglicherweise in der Protokolldatei $LOGFILE$",
    "Stellen Sie sicher, dass Sie ausreichende Zugriffsrechte auf die Spieldateien besitzen. Falls ein "
    "Virenschutzprogramm aktiv ist, deaktivieren Sie es vorübergehend, während diese Aktualisierung installiert wird.",
    "Die Aktualisierung ist noch nicht abgeschlossen! Möchten Sie wirklich beenden?",
    "Aktualisierung",
    steam_unsupported_text,
}};

} // namespace orvo
