/* texts_nl.cpp -- the Dutch records (Nederlands): the text table and the
 * resources' texts, entry for entry as the English ones in texts.cpp and
 * resource.cpp. Names (Kaltro, dCSS, EN50494+, Quattro, Legacy, Wideband,
 * the PROGRAM key), units and number formats stay as they are; the printf
 * formats keep the English ones' conversions in the same order.
 *
 * Terms: userband UB, transponder TP, polarisatie, uitgangsniveau, bandbreedte,
 * configuratie (config.), programmeerder, cascade, uitlezen (van het
 * apparaat), verzenden (naar het apparaat), u-vorm.
 */
#include "config/resource.h"

extern constexpr Texts_t StrNl[] = {{{
    /*  0 */ L"Brevant v." BREVANT_VERSION,
    /*  1 */ L"OK",
    /*  2 */ L"Nee",
    /*  3 */ L"Ja",
    /*  4 */ L"Onbekend",
    /*  5 */ L"Configuratie uitlezen",
    /*  6 */ L"Lezen",
    /*  7 */ L"Naam lezen",
    /*  8 */ L"Programmeren",
    /*  9 */ L"Zoeken",
    /* 10 */ L"Kaltro",
    /* 11 */ L"Nr.",
    /* 12 */ L"Actief",
    /* 13 */ L"UB-frequentie",
    /* 14 */ L"Breedte",
    /* 15 */ L"Uitg.-niveau",
    /* 16 */ L"Spectrale inversie",
    /* 17 */ L"Statisch",
    /* 18 */ L"TP-frequentie",
    /* 19 */ L"Polarisatie",
    /* 20 */ L"Ing.",
    /* 21 */ L"Status",
    /* 22 */ L"Config.-versie",
    /* 23 */ L"Softwareversie",
    /* 24 */ L"IC-temperatuur",
    /* 25 */ L"Model",
    /* 26 */ L"Firmwareversie",
    /* 27 */ L"Ingangen",
    /* 28 */ L"dCSS-parameters",
    /* 29 */ L"Uitgangsspanning",
    /* 30 */ L"Configuratienaam",
    /* 31 */ L"UB-banden overlappen",
    /* 32 */ L"Dubbele UB-frequentie",
    /* 33 */ L"Uitgangsniveau buiten bereik",
    /* 34 */ L"TP-frequentie buiten bereik",
    /* 35 */ L"UB-bandbreedte buiten bereik",
    /* 36 */ L"UB-band buiten de L-band",
    /* 37 */ L"UB-freq. buiten de L-band",
    /* 38 */ L"UB inactief",
    /* 39 */ L"Overdrachtsfout",
    /* 40 */ L"Geen dCSS-apparaat aangesloten...",
    /* 41 */ L"Onjuist aantal UB's",
    /* 42 */ L"Configuratiefout",
    /* 43 */ L"Verkeerd bestand",
    /* 44 */ L"Leeg bestand...",
    /* 45 */ L"Geen antwoord van Kaltro...",
    /* 46 */ L"Annuleren",
    /* 47 */ L"Niet gevonden",
    /* 48 */ L"Afsluiten",
    /* 49 */ L"Herhalen",
    /* 50 */ L"COM-poort",
    /* 51 */ L"Programmeerder",
    /* 52 */ L"dCSS-apparaat",
    /* 53 */ L"Model kiezen",
    /* 54 */ L"EN50494+",
    /* 55 */ L"Geen SN",
    /* 56 */ L"Serienummer",
    /* 57 */ L"LO-frequenties [MHz]",
    /* 58 */ L"Aantal UB's",
    /* 59 */ L"Uitgang",
    /* 60 */ L"Cascade",
    /* 61 */ L"Quattro",
    /* 62 */ L"Wideband",
    /* 63 */ L"Software-update geslaagd!",
    /* 64 */ L"dCSS-apparaatinstellingen",
    /* 65 */ L"Doorgaan",
    /* 66 */ L"Seriële poort",
    /* 67 */ L"Bezig met verzenden...",
    /* 68 */ L"Bezig met uitlezen...",
    /* 69 */ L"Uitlezen met succes voltooid!",
    /* 70 */ L"Configuratie-update geslaagd!",
    /* 71 */ L"Software-update",
    /* 72 */ L"Overdracht gestart...",
    /* 73 */ L"Verificatie...",
    /* 74 */ L"Kaltro-instellingen",
    /* 75 */ L"Config. naar Kaltro sturen",
    /* 76 */
    L"Met deze functie gaat een configuratie naar het interne geheugen van de Kaltro om later "
    L"dCSS-apparaten te programmeren. De knop PROGRAM op de Kaltro programmeert dan het "
    L"dCSS-apparaat (zonder laptop of tablet).",
    /* 77 */ L"Het bestand bestaat al!\nWilt u het overschrijven?",
    /* 78 */ L"Bestandsmelding",
    /* 79 */ L"dCSS-apparaat bepalen",
    /* 80 */ L"Verkeerd dCSS-apparaat",
    /* 81 */ L"Legacy",
    /* 82 */ L"dCSS",
    /* 83 */ L"dCSS/Legacy",
    /* 84 */ L"Geen ruimte meer voor UB's",
    /* 85 */
    L"De seriële poort %ls kan niet worden geopend: toegang geweigerd.\n\nAlleen leden van de "
    L"groep \"%ls\" mogen hem gebruiken. Voeg uw gebruiker eraan toe met\n\n    sudo usermod -aG "
    L"%ls $USER\n\nen meld u daarna af en weer aan.",
    /* 86 */
    L"De seriële poort %ls is in gebruik door een ander programma.\n\nSluit dat programma en "
    L"probeer het opnieuw.",
    /* 87 */
    L"De seriële poort %ls is in gebruik door een ander programma (%ls, proces %d).\n\nSluit dat "
    L"programma en probeer het opnieuw.",
    /* 88 */ L"%ls is geen seriële poort.\n\nKies een ander poortnummer.",
    /* 89 */
    L"De seriële poort %ls weigerde de lijninstellingen (115200 baud, 8 databits, geen pariteit, 1 "
    L"stopbit): %ls.",
    /* 90 */
    L"Het bestand %ls kon niet worden opgeslagen: %ls.\n\nHet bestand op de schijf is ongewijzigd.",
    /* 91 */ L"Het bestand %ls kon niet worden gelezen: %ls.",
    /* 92 */
    L"De seriële poort %ls kan niet worden geopend: geen toestemming.\n\nls -l toont hem als %ls: "
    L"geen groep waar u lid van kunt worden mag hem lezen en schrijven. Een beheerder kan hem "
    L"aan de groep %ls geven met\n\n    %ls\n\nvoeg daarna uw gebruiker aan die groep toe, meld "
    L"u af en meld u opnieuw aan.",
    /* 93 */
    L"De seriële poort %ls kan niet worden geopend: geen toestemming.\n\nls -l toont hem als %ls: "
    L"geen groep waar u lid van kunt worden mag hem lezen en schrijven. Een beheerder kan deze "
    L"USB-adapter aan de groep %ls geven met een udev-regel, de regel\n\n    %ls\n\nin een "
    L"bestand in /etc/udev/rules.d zoals 60-brevant-serial.rules; sluit de adapter daarna "
    L"opnieuw aan, voeg uw gebruiker aan die groep toe, meld u af en meld u opnieuw aan.",
    /* 94 */ L"Het bestand %ls kon niet worden opgeslagen: %ls.",
    /* 95 */ L"Controleren...",
    /* 96 */ L"Gecontroleerd",
    /* 97 */ L"Controle mislukt",
    /* 98 */ L"Vergelijken met apparaat...",
    /* 99 */ L"Controleren na programmeren",
    /* 100 */ L"Productie...",
    /* 101 */ L"Vergelijken met apparaat",
    /* 102 */ L"Het apparaat bevat deze tabel.",
    /* 103 */ L"UB %d: %ls %ls hier, %ls in het apparaat",
    /* 104 */ L"UB %d: niet in het apparaat",
    /* 105 */ L"%ls %ls hier, %ls in het apparaat",
    /* 106 */ L"Tabel van apparaat overnemen",
    /* 107 */ L"Sluiten",
    /* 108 */ L"Productie",
    /* 109 */ L"Logbestand:",
    /* 110 */ L"Kiezen...",
    /* 111 */ L"Starten",
    /* 112 */ L"Stoppen",
    /* 113 */ L"De Kaltro antwoordt niet",
    /* 114 */ L"Wachten op een apparaat",
    /* 115 */ L"Programmeren %d %%",
    /* 116 */ L"Controleren %d %%",
    /* 117 */ L"OK %ls",
    /* 118 */ L"FOUT %ls: %ls",
    /* 119 */ L"%ls is klaar: neem het weg",
    /* 120 */ L"Gestopt",
    /* 121 */ L"Geslaagd %ld    Mislukt %ld    %ld apparaten per uur",
    /* 122 */ L"Laatste apparaten",
    /* 123 */ L"Kies eerst een logbestand.",
    /* 124 */ L"Het logbestand %ls kan niet worden geschreven: %ls.\n\nDe productie is gestopt.",
    /* 125 */ L"programmeren mislukt",
    /* 126 */ L"verkeerd model",
    /* 127 */ L"apparaat verloren",
    /* 128 */ L"geannuleerd",
    /* 129 */ L"Tabel: %ls, %d UB's, configversie %ls",
    /* 130 */ L"zonder serienummer",
    /* 131 */ L"Het apparaat bevat een andere tabel:",
}}};
static_assert(TXT_Complete(StrNl[0].Text), "the Dutch record lacks texts");

extern constexpr ResTexts_t ResNl[] = {{{
    /*  0 */ L"Brevant van Halvorn Int. v." BREVANT_VERSION,
    /*  1 */ L"Bestand",
    /*  2 */ L"Bestand openen...",
    /*  3 */ L"Bestand opslaan...",
    /*  4 */ L"Exporteren...",
    /*  5 */ L"Tabel resetten...",
    /*  6 */ L"Afsluiten...",
    /*  7 */ L"Instellingen...",
    /*  8 */ L"Software-update...",
    /*  9 */ L"dCSS-apparaat bepalen...",
    /* 10 */ L"Config. in Kaltro opslaan...",
    /* 11 */ L"Taal",
    /* 12 */ L"Systeemtaal",
    /* 13 */ L"Help",
    /* 14 */ L"Over...",
    /* 15 */ L"Over Brevant",
    /* 16 */ L"Verbreken",
    /* 17 */ L"UB-calculator",
}}};
static_assert(TXT_Complete(ResNl[0].Text), "the Dutch resources lack texts");
