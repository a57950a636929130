#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_spanish = {{
    "Español",
    "Actualización",
    "Este programa actualizará el juego a la versión $VERSION$",
    "Continuar",
    "Salir",
    "Cancelar",
    "Reintentar",
    "Error en la comprobación de integridad de los datos. El archivo de actualización está dañado o incompleto, "
    "posiblemente debido a una descarga interrumpida.",
    "El usuario ha cancelado la actualización. Los archivos del juego no se han modificado.",
    "Los archivos del juego no se han modificado. Puedes volver a aplicar esta actualización cuando hayas solucionado "
    "el problema.",
    "Comprobando la integridad de los datos...",
    "¡No se ha encontrado el juego! Puede que no se haya instalado correctamente o que falten archivos importantes. "
    "Copia esta actualización en la carpeta donde está instalado el juego (debería contener el archivo base.ktl) y "
    "ejecútala desde allí.",
    "¡Versión del juego no compatible! Esta actualización no es compatible con tu versión del juego o los archivos del "
    "juego están dañados.",
    "Comprobando el estado de los archivos...",
    "Advertencia: no hay suficiente espacio libre en el disco de destino; se necesitan al menos $SPACE$ MB.\n¿Quieres "
    "continuar de todos modos?",
    "¡La actualización está en curso! ¿Seguro que quieres cancelarla?",
    "¡No se puede crear el archivo!",
    "¡No se puede abrir el archivo!",
    "¡No se puede leer el archivo!",
    "¡No se puede escribir en el archivo! ¿Está lleno el disco?",
    "¡No se puede mover ni eliminar el archivo!",
    "¡Error interno!",
    "La instalación del juego está dañada. Debes reinstalar el juego antes de volver a ejecutar esta actualización.",
    "La actualización del juego ha finalizado correctamente.",
    "El juego ya está actualizado.",
    "Actualizando archivos...\nEsto puede tardar un rato.",
    "Ya se está ejecutando otra instancia del juego o de este actualizador...",
    "No tienes los permisos necesarios en este sistema. Inicia sesión como administrador y vuelve a ejecutar esta "
    "actualización.",
    "Continuar igualmente",
    "Puede que encuentres más información sobre este problema en el registro $LOGFILE$",
    "Asegúrate de tener permisos suficientes para acceder a los archivos del juego. Si usas un antivirus, desactívalo "
    "mientras se aplica esta actualización.",
    "¡La actualización no ha terminado! ¿Seguro que quieres salir?",
    "Actualización",
    steam_unsupported_text,
}};

} // namespace orvo
