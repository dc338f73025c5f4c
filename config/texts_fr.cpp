/* texts_fr.cpp -- the French records (Français): the text table and the
 * resources' texts, entry for entry as the English ones in texts.cpp and
 * resource.cpp. Names (Kaltro, dCSS, EN50494+, Quattro, Legacy, Wideband,
 * the PROGRAM key), units and number formats stay as they are; the printf
 * formats keep the English ones' conversions in the same order.
 *
 * Terms: bande utilisateur UB (féminin), transpondeur TP, polarité, niveau de
 * sortie, bande passante, configuration (config.), programmateur, chaînage, lire
 * (depuis l'appareil), envoyer (vers l'appareil), espace insécable avant : ! ?.
 */
#include "config/resource.h"

extern constexpr Texts_t StrFr[] = {{{
    /*  0 */ L"Brevant v." BREVANT_VERSION,
    /*  1 */ L"OK",
    /*  2 */ L"Non",
    /*  3 */ L"Oui",
    /*  4 */ L"Inconnu",
    /*  5 */ L"Lire la configuration",
    /*  6 */ L"Lire",
    /*  7 */ L"Lire le nom",
    /*  8 */ L"Programmer",
    /*  9 */ L"Chercher",
    /* 10 */ L"Kaltro",
    /* 11 */ L"N°",
    /* 12 */ L"Actif",
    /* 13 */ L"Fréquence UB",
    /* 14 */ L"B. passante",
    /* 15 */ L"Niv. sortie",
    /* 16 */ L"Inversion spectrale",
    /* 17 */ L"Statique",
    /* 18 */ L"Fréquence TP",
    /* 19 */ L"Polarité",
    /* 20 */ L"Entrée",
    /* 21 */ L"État",
    /* 22 */ L"Version config.",
    /* 23 */ L"Version logicielle",
    /* 24 */ L"Température CI",
    /* 25 */ L"Modèle",
    /* 26 */ L"Version firmware",
    /* 27 */ L"Entrées",
    /* 28 */ L"Paramètres dCSS",
    /* 29 */ L"Tension de sortie",
    /* 30 */ L"Nom de configuration",
    /* 31 */ L"Bandes UB qui se chevauchent",
    /* 32 */ L"Fréquence UB en double",
    /* 33 */ L"Niveau de sortie hors plage",
    /* 34 */ L"Fréquence TP hors plage",
    /* 35 */ L"Bande passante UB hors plage",
    /* 36 */ L"Bande UB hors de la bande L",
    /* 37 */ L"Fréq. UB hors de la bande L",
    /* 38 */ L"UB inactive",
    /* 39 */ L"Erreur de transmission",
    /* 40 */ L"Aucun appareil dCSS connecté...",
    /* 41 */ L"Nombre d'UB incorrect",
    /* 42 */ L"Erreur de configuration",
    /* 43 */ L"Fichier incorrect",
    /* 44 */ L"Fichier vide...",
    /* 45 */ L"Pas de réponse du Kaltro...",
    /* 46 */ L"Annuler",
    /* 47 */ L"Introuvable",
    /* 48 */ L"Quitter",
    /* 49 */ L"Répéter",
    /* 50 */ L"Port COM",
    /* 51 */ L"Programmateur",
    /* 52 */ L"Appareil dCSS",
    /* 53 */ L"Choisir le modèle",
    /* 54 */ L"EN50494+",
    /* 55 */ L"Sans N° série",
    /* 56 */ L"Numéro de série",
    /* 57 */ L"Fréquences OL [MHz]",
    /* 58 */ L"Nombre d'UB",
    /* 59 */ L"Sortie",
    /* 60 */ L"Chaînage",
    /* 61 */ L"Quattro",
    /* 62 */ L"Wideband",
    /* 63 */ L"Mise à jour logicielle réussie\u00A0!",
    /* 64 */ L"Réglages de l'appareil dCSS",
    /* 65 */ L"Continuer",
    /* 66 */ L"Port série",
    /* 67 */ L"Envoi en cours...",
    /* 68 */ L"Lecture en cours...",
    /* 69 */ L"Lecture terminée avec succès\u00A0!",
    /* 70 */ L"Mise à jour de la configuration réussie\u00A0!",
    /* 71 */ L"Mise à jour logicielle",
    /* 72 */ L"Transmission démarrée...",
    /* 73 */ L"Vérification...",
    /* 74 */ L"Réglages du Kaltro",
    /* 75 */ L"Envoyer la config. au Kaltro",
    /* 76 */
    L"Cette fonction envoie une configuration dans la mémoire interne du Kaltro pour programmer "
    L"ensuite des appareils dCSS. La touche PROGRAM du Kaltro programme alors l'appareil dCSS "
    L"(sans ordinateur portable ni tablette).",
    /* 77 */ L"Le fichier existe déjà\u00A0!\nVoulez-vous le remplacer\u00A0?",
    /* 78 */ L"Message fichier",
    /* 79 */ L"Identifier l'appareil dCSS",
    /* 80 */ L"Mauvais appareil dCSS",
    /* 81 */ L"Legacy",
    /* 82 */ L"dCSS",
    /* 83 */ L"dCSS/Legacy",
    /* 84 */ L"Plus de place pour les UB",
    /* 85 */
    L"Le port série %ls ne peut pas être ouvert\u00A0: permission refusée.\n\nSeuls les membres du "
    L"groupe «\u00A0%ls\u00A0» peuvent l'utiliser. Ajoutez-y votre utilisateur avec\n\n    sudo "
    L"usermod -aG %ls $USER\n\npuis fermez la session et ouvrez-la de nouveau.",
    /* 86 */
    L"Le port série %ls est utilisé par un autre programme.\n\nFermez ce programme et réessayez.",
    /* 87 */
    L"Le port série %ls est utilisé par un autre programme (%ls, processus %d).\n\nFermez ce "
    L"programme et réessayez.",
    /* 88 */ L"%ls n'est pas un port série.\n\nChoisissez un autre numéro de port.",
    /* 89 */
    L"Le port série %ls a refusé les paramètres de ligne (115200 bauds, 8 bits de données, sans "
    L"parité, 1 bit d'arrêt)\u00A0: %ls.",
    /* 90 */
    L"Le fichier %ls n'a pas pu être enregistré\u00A0: %ls.\n\nLe fichier sur le disque n'a pas "
    L"été modifié.",
    /* 91 */ L"Le fichier %ls n'a pas pu être lu\u00A0: %ls.",
    /* 92 */
    L"Le port série %ls ne peut pas être ouvert\u00A0: permission refusée.\n\nls -l l'affiche "
    L"comme %ls\u00A0: aucun groupe que vous pourriez rejoindre ne peut le lire et l'écrire. Un "
    L"administrateur peut le donner au groupe %ls avec\n\n    %ls\n\npuis ajoutez votre "
    L"utilisateur à ce groupe, fermez la session et ouvrez-la de nouveau.",
    /* 93 */
    L"Le port série %ls ne peut pas être ouvert\u00A0: permission refusée.\n\nls -l l'affiche "
    L"comme %ls\u00A0: aucun groupe que vous pourriez rejoindre ne peut le lire et l'écrire. Un "
    L"administrateur peut donner cet adaptateur USB au groupe %ls par une règle udev, la "
    L"ligne\n\n    %ls\n\ndans un fichier de /etc/udev/rules.d tel que 60-brevant-serial.rules"
    L"\u00A0; rebranchez ensuite l'adaptateur, ajoutez votre utilisateur à ce groupe, fermez la "
    L"session et ouvrez-la de nouveau.",
    /* 94 */ L"Le fichier %ls n'a pas pu être enregistré\u00A0: %ls.",
    /* 95 */ L"Vérification...",
    /* 96 */ L"Vérifié",
    /* 97 */ L"Échec de la vérification",
    /* 98 */ L"Comparer avec l'appareil...",
    /* 99 */ L"Vérifier après programmation",
    /* 100 */ L"Production...",
    /* 101 */ L"Comparer avec l'appareil",
    /* 102 */ L"L'appareil contient ce tableau.",
    /* 103 */ L"UB %d\u00A0: %ls %ls ici, %ls dans l'appareil",
    /* 104 */ L"UB %d\u00A0: absent de l'appareil",
    /* 105 */ L"%ls %ls ici, %ls dans l'appareil",
    /* 106 */ L"Reprendre le tableau",
    /* 107 */ L"Fermer",
    /* 108 */ L"Production",
    /* 109 */ L"Journal\u00A0:",
    /* 110 */ L"Choisir...",
    /* 111 */ L"Démarrer",
    /* 112 */ L"Arrêter",
    /* 113 */ L"Le Kaltro ne répond pas",
    /* 114 */ L"En attente d'un appareil",
    /* 115 */ L"Programmation %d\u00A0%%",
    /* 116 */ L"Vérification %d\u00A0%%",
    /* 117 */ L"OK %ls",
    /* 118 */ L"ÉCHEC %ls\u00A0: %ls",
    /* 119 */ L"%ls est terminé\u00A0: retirez-le",
    /* 120 */ L"Arrêté",
    /* 121 */ L"Réussis %ld    Échecs %ld    %ld appareils par heure",
    /* 122 */ L"Derniers appareils",
    /* 123 */ L"Choisissez d'abord un journal.",
    /* 124 */ L"Le journal %ls ne peut pas être écrit\u00A0: %ls.\n\nLa production est arrêtée.",
    /* 125 */ L"échec de la programmation",
    /* 126 */ L"mauvais modèle",
    /* 127 */ L"appareil perdu",
    /* 128 */ L"annulé",
    /* 129 */ L"Tableau\u00A0: %ls, %d UB, version de config. %ls",
    /* 130 */ L"sans numéro de série",
    /* 131 */ L"L'appareil contient un autre tableau\u00A0:",
}}};
static_assert(TXT_Complete(StrFr[0].Text), "the French record lacks texts");

extern constexpr ResTexts_t ResFr[] = {{{
    /*  0 */ L"Brevant par Halvorn Int. v." BREVANT_VERSION,
    /*  1 */ L"Fichier",
    /*  2 */ L"Ouvrir un fichier...",
    /*  3 */ L"Enregistrer le fichier...",
    /*  4 */ L"Exporter...",
    /*  5 */ L"Réinitialiser la table...",
    /*  6 */ L"Quitter...",
    /*  7 */ L"Réglages...",
    /*  8 */ L"Mise à jour logicielle...",
    /*  9 */ L"Identifier l'appareil dCSS...",
    /* 10 */ L"Enregistrer la config. dans le Kaltro...",
    /* 11 */ L"Langue",
    /* 12 */ L"Langue du système",
    /* 13 */ L"Aide",
    /* 14 */ L"À propos...",
    /* 15 */ L"À propos de Brevant",
    /* 16 */ L"Déconnecter",
    /* 17 */ L"Calculateur UB",
}}};
static_assert(TXT_Complete(ResFr[0].Text), "the French resources lack texts");
