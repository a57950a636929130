#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_galician = {{
    "Galego",
    "Actualización",
    "Este programa actualizará o xogo á versión $VERSION$",
    "Continuar",
    "Saír",
    "Cancelar",
    "Tentar de novo",
    "Fallou a comprobación da integridade dos datos. O ficheiro de actualización está danado ou incompleto, "
    "posiblemente por mor dunha descarga interrompida.",
    "O usuario cancelou a actualización. Os ficheiros do xogo non se modificaron.",
    "Os ficheiros do xogo non se modificaron. Podes aplicar de novo esta actualización despois de solucionar o "
    "problema.",
    "Comprobando a integridade dos datos...",
    "Non se atopou o xogo! É posible que non se instalase correctamente ou que falten ficheiros importantes. Copia "
    "esta actualización no cartafol onde está instalado o xogo (debería conter o ficheiro base.ktl) e execútaa desde "
    "alí.",
    "Versión do xogo non compatible! Esta actualización non é compatible coa túa versión do xogo ou os ficheiros do "
    "xogo están danados.",
    "Comprobando o estado dos ficheiros...",
    "Aviso: non hai espazo libre dabondo no disco de destino; precísanse polo menos $SPACE$ MB.\nQueres continuar de "
    "todos os xeitos?",
    "A actualización está en curso! Seguro que queres cancelala?",
    "Non se pode crear o ficheiro!",
    "Non se pode abrir o ficheiro!",
    "Non se pode ler o ficheiro!",
    "Non se pode escribir no ficheiro! Está cheo o disco?",
    "Non se pode mover nin eliminar o ficheiro!",
    "Erro interno!",
    "A instalación do xogo está danada. Tes que reinstalar o xogo antes de executar de novo esta actualización.",
    "A actualización do xogo rematou correctamente.",
    "O xogo xa está actualizado.",
    "Actualizando os ficheiros...\nIsto pode levar un anaco.",
    "Xa hai outra instancia do xogo ou deste actualizador en execución...",
    "Non tes os permisos necesarios neste sistema. Inicia sesión como administrador e executa de novo esta "
    "actualización.",
    "Continuar igualmente",
    "Pode haber máis información sobre este problema no rexistro $LOGFILE$",
    "Asegúrate de que tes permisos suficientes para acceder aos ficheiros do xogo. Se usas un antivirus, desactívao "
    "mentres se aplica esta actualización.",
    "A actualización non rematou! Seguro que queres saír?",
    "Actualización",
    steam_unsupported_text,
}};

} // namespace orvo
