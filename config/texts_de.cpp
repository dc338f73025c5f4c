/* texts_de.cpp -- the German records (Deutsch): the text table and the
 * resources' texts, entry for entry as the English ones in texts.cpp and
 * resource.cpp. Names (Kaltro, dCSS, EN50494+, Quattro, Legacy, Wideband,
 * the PROGRAM key), units and number formats stay as they are; the printf
 * formats keep the English ones' conversions in the same order.
 *
 * Terms: Userband UB, Transponder TP, Polarisation, Ausgangspegel (Spalte: Ausg.-Pegel),
 * Bandbreite, Konfiguration (kurz: Konfig.), Programmiergerät, Kaskadierung,
 * auslesen (vom Gerät), übertragen (zum Gerät), Sie-Form.
 */
#include "config/resource.h"

extern constexpr Texts_t StrDe[] = {{{
    /*  0 */ L"Brevant v." BREVANT_VERSION,
    /*  1 */ L"OK",
    /*  2 */ L"Nein",
    /*  3 */ L"Ja",
    /*  4 */ L"Unbekannt",
    /*  5 */ L"Konfiguration auslesen",
    /*  6 */ L"Lesen",
    /*  7 */ L"Name lesen",
    /*  8 */ L"Programmieren",
    /*  9 */ L"Suchen",
    /* 10 */ L"Kaltro",
    /* 11 */ L"Nr.",
    /* 12 */ L"Aktiv",
    /* 13 */ L"UB-Frequenz",
    /* 14 */ L"Bandbreite",
    /* 15 */ L"Ausg.-Pegel",
    /* 16 */ L"Spektrale Inversion",
    /* 17 */ L"Statisch",
    /* 18 */ L"TP-Frequenz",
    /* 19 */ L"Polarität",
    /* 20 */ L"Eing.",
    /* 21 */ L"Status",
    /* 22 */ L"Konfig.-Version",
    /* 23 */ L"Softwareversion",
    /* 24 */ L"IC-Temperatur",
    /* 25 */ L"Modell",
    /* 26 */ L"Firmwareversion",
    /* 27 */ L"Eingänge",
    /* 28 */ L"dCSS-Parameter",
    /* 29 */ L"Ausgangsspannung",
    /* 30 */ L"Konfigurationsname",
    /* 31 */ L"UB-Bandbreite überlappt",
    /* 32 */ L"UB-Frequenz doppelt",
    /* 33 */ L"Ausgangspegel nicht im Bereich",
    /* 34 */ L"TP-Frequenz nicht im Bereich",
    /* 35 */ L"UB-Bandbreite nicht im Bereich",
    /* 36 */ L"UB-Band überschreitet L-Band",
    /* 37 */ L"UB-Frequenz außerhalb L-Band",
    /* 38 */ L"UB inaktiv",
    /* 39 */ L"Übertragungsfehler",
    /* 40 */ L"Kein dCSS-Gerät angeschlossen...",
    /* 41 */ L"Falsche UB-Anzahl",
    /* 42 */ L"Konfigurationsfehler",
    /* 43 */ L"Falsche Datei",
    /* 44 */ L"Leere Datei...",
    /* 45 */ L"Keine Antwort vom Kaltro...",
    /* 46 */ L"Abbrechen",
    /* 47 */ L"Nicht gefunden",
    /* 48 */ L"Beenden",
    /* 49 */ L"Erneut",
    /* 50 */ L"COM-Port",
    /* 51 */ L"Programmiergerät",
    /* 52 */ L"dCSS-Gerät",
    /* 53 */ L"Modell wählen",
    /* 54 */ L"EN50494+",
    /* 55 */ L"Keine SN",
    /* 56 */ L"Seriennummer",
    /* 57 */ L"LO-Frequenzen [MHz]",
    /* 58 */ L"Anzahl UBs",
    /* 59 */ L"Ausgang",
    /* 60 */ L"Kaskadierung",
    /* 61 */ L"Quattro",
    /* 62 */ L"Wideband",
    /* 63 */ L"Software-Update erfolgreich!",
    /* 64 */ L"dCSS-Geräteeinstellungen",
    /* 65 */ L"Weiter",
    /* 66 */ L"Serielle Schnittstelle",
    /* 67 */ L"Übertragung läuft...",
    /* 68 */ L"Auslesen läuft...",
    /* 69 */ L"Auslesen erfolgreich beendet!",
    /* 70 */ L"Konfiguration erfolgreich aktualisiert!",
    /* 71 */ L"Software-Update",
    /* 72 */ L"Übertragung gestartet...",
    /* 73 */ L"Überprüfung...",
    /* 74 */ L"Kaltro-Einstellungen",
    /* 75 */ L"Konfig. an Kaltro senden",
    /* 76 */
    L"Mit dieser Funktion wird eine Konfiguration in den internen Speicher des Kaltro gesendet, um "
    L"damit später dCSS-Geräte zu programmieren. Mit der Taste PROGRAM am Kaltro wird das "
    L"dCSS-Gerät dann programmiert (ohne Laptop oder Tablet).",
    /* 77 */ L"Die Datei existiert bereits!\nMöchten Sie sie überschreiben?",
    /* 78 */ L"Dateimeldung",
    /* 79 */ L"dCSS-Gerät ermitteln",
    /* 80 */ L"Falsches dCSS-Gerät",
    /* 81 */ L"Legacy",
    /* 82 */ L"dCSS",
    /* 83 */ L"dCSS/Legacy",
    /* 84 */ L"Kein Platz für weitere UBs",
    /* 85 */
    L"Die serielle Schnittstelle %ls kann nicht geöffnet werden: Zugriff verweigert.\n\nNur "
    L"Mitglieder der Gruppe „%ls“ dürfen sie benutzen. Fügen Sie Ihren Benutzer mit\n\n    sudo "
    L"usermod -aG %ls $USER\n\nhinzu, melden Sie sich dann ab und wieder an.",
    /* 86 */
    L"Die serielle Schnittstelle %ls wird von einem anderen Programm benutzt.\n\nBeenden Sie "
    L"dieses Programm und versuchen Sie es erneut.",
    /* 87 */
    L"Die serielle Schnittstelle %ls wird von einem anderen Programm benutzt (%ls, Prozess "
    L"%d).\n\nBeenden Sie dieses Programm und versuchen Sie es erneut.",
    /* 88 */ L"%ls ist keine serielle Schnittstelle.\n\nWählen Sie eine andere Portnummer.",
    /* 89 */
    L"Die serielle Schnittstelle %ls hat die Leitungseinstellungen abgelehnt (115200 Baud, 8 "
    L"Datenbits, keine Parität, 1 Stoppbit): %ls.",
    /* 90 */
    L"Die Datei %ls konnte nicht gespeichert werden: %ls.\n\nDie Datei auf dem Datenträger ist "
    L"unverändert.",
    /* 91 */ L"Die Datei %ls konnte nicht gelesen werden: %ls.",
    /* 92 */
    L"Die serielle Schnittstelle %ls kann nicht geöffnet werden: Zugriff verweigert.\n\nls -l "
    L"zeigt sie als %ls: keine Gruppe, der Sie beitreten könnten, darf sie lesen und schreiben. "
    L"Ein Administrator kann sie der Gruppe %ls geben mit\n\n    %ls\n\nfügen Sie dann Ihren "
    L"Benutzer dieser Gruppe hinzu und melden Sie sich ab und wieder an.",
    /* 93 */
    L"Die serielle Schnittstelle %ls kann nicht geöffnet werden: Zugriff verweigert.\n\nls -l "
    L"zeigt sie als %ls: keine Gruppe, der Sie beitreten könnten, darf sie lesen und schreiben. "
    L"Ein Administrator kann diesen USB-Adapter der Gruppe %ls mit einer udev-Regel geben, der "
    L"Zeile\n\n    %ls\n\nin einer Datei in /etc/udev/rules.d wie 60-brevant-serial.rules; "
    L"stecken Sie den Adapter dann neu ein, fügen Sie Ihren Benutzer dieser Gruppe hinzu und "
    L"melden Sie sich ab und wieder an.",
    /* 94 */ L"Die Datei %ls konnte nicht gespeichert werden: %ls.",
    /* 95 */ L"Überprüfung...",
    /* 96 */ L"Überprüft",
    /* 97 */ L"Überprüfung fehlgeschlagen",
    /* 98 */ L"Mit Gerät vergleichen...",
    /* 99 */ L"Nach dem Programmieren prüfen",
    /* 100 */ L"Produktion...",
    /* 101 */ L"Mit Gerät vergleichen",
    /* 102 */ L"Das Gerät enthält diese Tabelle.",
    /* 103 */ L"UB %d: %ls %ls hier, %ls im Gerät",
    /* 104 */ L"UB %d: nicht im Gerät",
    /* 105 */ L"%ls %ls hier, %ls im Gerät",
    /* 106 */ L"Tabelle des Geräts übernehmen",
    /* 107 */ L"Schließen",
    /* 108 */ L"Produktion",
    /* 109 */ L"Protokolldatei:",
    /* 110 */ L"Wählen...",
    /* 111 */ L"Start",
    /* 112 */ L"Stopp",
    /* 113 */ L"Der Kaltro antwortet nicht",
    /* 114 */ L"Warte auf ein Gerät",
    /* 115 */ L"Programmierung %d %%",
    /* 116 */ L"Prüfung %d %%",
    /* 117 */ L"OK %ls",
    /* 118 */ L"FEHLER %ls: %ls",
    /* 119 */ L"%ls ist fertig: bitte abnehmen",
    /* 120 */ L"Angehalten",
    /* 121 */ L"OK %ld    Fehler %ld    %ld Geräte pro Stunde",
    /* 122 */ L"Letzte Geräte",
    /* 123 */ L"Wählen Sie zuerst eine Protokolldatei.",
    /* 124 */
    L"Das Protokoll %ls kann nicht geschrieben werden: %ls.\n\nDie Produktion wurde angehalten.",
    /* 125 */ L"Programmierung fehlgeschlagen",
    /* 126 */ L"falsches Modell",
    /* 127 */ L"Gerät verloren",
    /* 128 */ L"abgebrochen",
    /* 129 */ L"Tabelle: %ls, %d UBs, Konfig.-Version %ls",
    /* 130 */ L"ohne Seriennummer",
    /* 131 */ L"Das Gerät enthält eine andere Tabelle:",
}}};
static_assert(TXT_Complete(StrDe[0].Text), "the German record lacks texts");

extern constexpr ResTexts_t ResDe[] = {{{
    /*  0 */ L"Brevant von Halvorn Int. v." BREVANT_VERSION,
    /*  1 */ L"Datei",
    /*  2 */ L"Datei öffnen...",
    /*  3 */ L"Datei speichern...",
    /*  4 */ L"Exportieren...",
    /*  5 */ L"Tabelle zurücksetzen...",
    /*  6 */ L"Beenden...",
    /*  7 */ L"Einstellungen...",
    /*  8 */ L"Software-Update...",
    /*  9 */ L"dCSS-Gerät ermitteln...",
    /* 10 */ L"Konfig. im Kaltro speichern...",
    /* 11 */ L"Sprache",
    /* 12 */ L"Systemsprache",
    /* 13 */ L"Hilfe",
    /* 14 */ L"Über...",
    /* 15 */ L"Über Brevant",
    /* 16 */ L"Trennen",
    /* 17 */ L"UB-Rechner",
}}};
static_assert(TXT_Complete(ResDe[0].Text), "the German resources lack texts");
