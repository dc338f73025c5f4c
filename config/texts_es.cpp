/* texts_es.cpp -- the Spanish records (Español): the text table and the
 * resources' texts, entry for entry as the English ones in texts.cpp and
 * resource.cpp. Names (Kaltro, dCSS, EN50494+, Quattro, Legacy, Wideband,
 * the PROGRAM key), units and number formats stay as they are; the printf
 * formats keep the English ones' conversions in the same order.
 *
 * Terms: banda de usuario UB (femenino), transpondedor TP, polaridad, nivel de
 * salida, ancho de banda, configuración (config.), programador, cascada, leer
 * (del dispositivo), enviar (al dispositivo), trato de usted.
 */
#include "config/resource.h"

extern constexpr Texts_t StrEs[] = {{{
    /*  0 */ L"Brevant v." BREVANT_VERSION,
    /*  1 */ L"OK",
    /*  2 */ L"No",
    /*  3 */ L"Sí",
    /*  4 */ L"Desconocido",
    /*  5 */ L"Leer configuración",
    /*  6 */ L"Leer",
    /*  7 */ L"Leer nombre",
    /*  8 */ L"Programar",
    /*  9 */ L"Buscar",
    /* 10 */ L"Kaltro",
    /* 11 */ L"N.º",
    /* 12 */ L"Activa",
    /* 13 */ L"Frec. UB",
    /* 14 */ L"Ancho",
    /* 15 */ L"Nivel salida",
    /* 16 */ L"Inversión espectral",
    /* 17 */ L"Estática",
    /* 18 */ L"Frecuencia TP",
    /* 19 */ L"Polaridad",
    /* 20 */ L"Entr.",
    /* 21 */ L"Estado",
    /* 22 */ L"Versión config.",
    /* 23 */ L"Versión software",
    /* 24 */ L"Temperatura CI",
    /* 25 */ L"Modelo",
    /* 26 */ L"Versión firmware",
    /* 27 */ L"Entradas",
    /* 28 */ L"Parámetros dCSS",
    /* 29 */ L"Tensión de salida",
    /* 30 */ L"Nombre de configuración",
    /* 31 */ L"Bandas UB solapadas",
    /* 32 */ L"Frecuencia UB duplicada",
    /* 33 */ L"Nivel de salida fuera de rango",
    /* 34 */ L"Frecuencia TP fuera de rango",
    /* 35 */ L"Ancho banda UB fuera de rango",
    /* 36 */ L"Banda UB fuera de la banda L",
    /* 37 */ L"Frec. UB fuera de la banda L",
    /* 38 */ L"UB inactiva",
    /* 39 */ L"Error de transmisión",
    /* 40 */ L"Ningún dispositivo dCSS conectado...",
    /* 41 */ L"Número de UB incorrecto",
    /* 42 */ L"Error de configuración",
    /* 43 */ L"Archivo incorrecto",
    /* 44 */ L"Archivo vacío...",
    /* 45 */ L"Sin respuesta del Kaltro...",
    /* 46 */ L"Cancelar",
    /* 47 */ L"No encontrado",
    /* 48 */ L"Salir",
    /* 49 */ L"Repetir",
    /* 50 */ L"Puerto COM",
    /* 51 */ L"Programador",
    /* 52 */ L"Dispositivo dCSS",
    /* 53 */ L"Elegir modelo",
    /* 54 */ L"EN50494+",
    /* 55 */ L"Sin N.º serie",
    /* 56 */ L"Número de serie",
    /* 57 */ L"Frecuencias OL [MHz]",
    /* 58 */ L"Número de UB",
    /* 59 */ L"Salida",
    /* 60 */ L"Cascada",
    /* 61 */ L"Quattro",
    /* 62 */ L"Wideband",
    /* 63 */ L"¡Software actualizado correctamente!",
    /* 64 */ L"Ajustes del dispositivo dCSS",
    /* 65 */ L"Continuar",
    /* 66 */ L"Puerto serie",
    /* 67 */ L"Envío en curso...",
    /* 68 */ L"Lectura en curso...",
    /* 69 */ L"¡Lectura finalizada correctamente!",
    /* 70 */ L"¡Configuración actualizada correctamente!",
    /* 71 */ L"Actualización de software",
    /* 72 */ L"Transmisión iniciada...",
    /* 73 */ L"Verificación...",
    /* 74 */ L"Ajustes del Kaltro",
    /* 75 */ L"Enviar config. al Kaltro",
    /* 76 */
    L"Esta función envía una configuración a la memoria interna del Kaltro para programar después "
    L"dispositivos dCSS. Al pulsar el botón PROGRAM del Kaltro se programa el dispositivo dCSS "
    L"(sin portátil ni tableta).",
    /* 77 */ L"¡El archivo ya existe!\n¿Desea sobrescribirlo?",
    /* 78 */ L"Mensaje de archivo",
    /* 79 */ L"Detectar dispositivo dCSS",
    /* 80 */ L"Dispositivo dCSS incorrecto",
    /* 81 */ L"Legacy",
    /* 82 */ L"dCSS",
    /* 83 */ L"dCSS/Legacy",
    /* 84 */ L"No queda espacio para más UB",
    /* 85 */
    L"No se puede abrir el puerto serie %ls: permiso denegado.\n\nSolo los miembros del grupo "
    L"«%ls» pueden usarlo. Añada su usuario con\n\n    sudo usermod -aG %ls $USER\n\ny después "
    L"cierre la sesión y vuelva a entrar.",
    /* 86 */
    L"El puerto serie %ls está siendo usado por otro programa.\n\nCierre ese programa e inténtelo "
    L"de nuevo.",
    /* 87 */
    L"El puerto serie %ls está siendo usado por otro programa (%ls, proceso %d).\n\nCierre ese "
    L"programa e inténtelo de nuevo.",
    /* 88 */ L"%ls no es un puerto serie.\n\nElija otro número de puerto.",
    /* 89 */
    L"El puerto serie %ls rechazó los ajustes de línea (115200 baudios, 8 bits de datos, sin "
    L"paridad, 1 bit de parada): %ls.",
    /* 90 */
    L"No se pudo guardar el archivo %ls: %ls.\n\nEl archivo del disco no se ha modificado.",
    /* 91 */ L"No se pudo leer el archivo %ls: %ls.",
    /* 92 */
    L"No se puede abrir el puerto serie %ls: permiso denegado.\n\nls -l lo muestra como %ls: "
    L"ningún grupo al que pueda unirse puede leerlo y escribirlo. Un administrador puede "
    L"asignarlo al grupo %ls con\n\n    %ls\n\ny después añada su usuario a ese grupo, cierre "
    L"la sesión y vuelva a iniciarla.",
    /* 93 */
    L"No se puede abrir el puerto serie %ls: permiso denegado.\n\nls -l lo muestra como %ls: "
    L"ningún grupo al que pueda unirse puede leerlo y escribirlo. Un administrador puede asignar "
    L"este adaptador USB al grupo %ls con una regla udev, la línea\n\n    %ls\n\nen un archivo "
    L"de /etc/udev/rules.d como 60-brevant-serial.rules; después vuelva a conectar el "
    L"adaptador, añada su usuario a ese grupo, cierre la sesión y vuelva a iniciarla.",
    /* 94 */ L"No se pudo guardar el archivo %ls: %ls.",
    /* 95 */ L"Verificando...",
    /* 96 */ L"Verificado",
    /* 97 */ L"Verificación fallida",
    /* 98 */ L"Comparar con el dispositivo...",
    /* 99 */ L"Verificar tras programar",
    /* 100 */ L"Producción...",
    /* 101 */ L"Comparar con el dispositivo",
    /* 102 */ L"El dispositivo contiene esta tabla.",
    /* 103 */ L"UB %d: %ls %ls aquí, %ls en el dispositivo",
    /* 104 */ L"UB %d: no está en el dispositivo",
    /* 105 */ L"%ls %ls aquí, %ls en el dispositivo",
    /* 106 */ L"Usar la tabla del dispositivo",
    /* 107 */ L"Cerrar",
    /* 108 */ L"Producción",
    /* 109 */ L"Archivo de registro:",
    /* 110 */ L"Elegir...",
    /* 111 */ L"Iniciar",
    /* 112 */ L"Detener",
    /* 113 */ L"El Kaltro no responde",
    /* 114 */ L"Esperando un dispositivo",
    /* 115 */ L"Programando %d %%",
    /* 116 */ L"Verificando %d %%",
    /* 117 */ L"OK %ls",
    /* 118 */ L"FALLO %ls: %ls",
    /* 119 */ L"%ls está listo: retírelo",
    /* 120 */ L"Detenido",
    /* 121 */ L"Correctos %ld    Fallidos %ld    %ld dispositivos por hora",
    /* 122 */ L"Últimos dispositivos",
    /* 123 */ L"Elija primero un archivo de registro.",
    /* 124 */ L"No se puede escribir el registro %ls: %ls.\n\nLa producción se ha detenido.",
    /* 125 */ L"programación fallida",
    /* 126 */ L"modelo incorrecto",
    /* 127 */ L"dispositivo perdido",
    /* 128 */ L"cancelado",
    /* 129 */ L"Tabla: %ls, %d UB, versión de config. %ls",
    /* 130 */ L"sin número de serie",
    /* 131 */ L"El dispositivo contiene otra tabla:",
}}};
static_assert(TXT_Complete(StrEs[0].Text), "the Spanish record lacks texts");

extern constexpr ResTexts_t ResEs[] = {{{
    /*  0 */ L"Brevant de Halvorn Int. v." BREVANT_VERSION,
    /*  1 */ L"Archivo",
    /*  2 */ L"Abrir archivo...",
    /*  3 */ L"Guardar archivo...",
    /*  4 */ L"Exportar...",
    /*  5 */ L"Restablecer tabla...",
    /*  6 */ L"Salir...",
    /*  7 */ L"Ajustes...",
    /*  8 */ L"Actualizar software...",
    /*  9 */ L"Detectar dispositivo dCSS...",
    /* 10 */ L"Guardar config. en el Kaltro...",
    /* 11 */ L"Idioma",
    /* 12 */ L"Idioma del sistema",
    /* 13 */ L"Ayuda",
    /* 14 */ L"Acerca de...",
    /* 15 */ L"Acerca de Brevant",
    /* 16 */ L"Desconectar",
    /* 17 */ L"Calculadora UB",
}}};
static_assert(TXT_Complete(ResEs[0].Text), "the Spanish resources lack texts");
