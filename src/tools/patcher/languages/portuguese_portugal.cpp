#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_portuguese_portugal = {{
    "Português (Portugal)",
    "atualização",
    "Este programa irá atualizar o jogo para a versão $VERSION$",
    "Continuar",
    "Sair",
    "Interromper",
    "Repetir",
    "Falha na verificação da integridade dos dados. O ficheiro de atualização está danificado ou incompleto, "
    "possivelmente devido a uma transferência interrompida.",
    "A atualização foi interrompida a pedido do utilizador. Os ficheiros do jogo não foram modificados.",
    "Os ficheiros do jogo não foram modificados. Pode voltar a aplicar esta atualização depois de resolver o "
    "problema.",
    "A verificar a integridade dos dados...",
    "Jogo não encontrado! É possível que não tenha sido instalado corretamente ou que faltem alguns ficheiros "
    "importantes. Experimente copiar esta atualização para a pasta onde o jogo está instalado (deve conter o "
    "ficheiro base.ktl) e executá-la a partir daí.",
    "Versão do jogo não suportada! Esta atualização não é compatível com esta versão do jogo ou os ficheiros do jogo "
    "estão danificados.",
    "A verificar o estado dos ficheiros...",
    "Aviso: não existe espaço livre suficiente no disco de destino; são necessários pelo menos $SPACE$ MB.\nPretende "
    "continuar mesmo assim?",
    "A atualização está em curso! Pretende mesmo interrompê-la?",
    "Não foi possível criar o ficheiro!",
    "Não foi possível abrir o ficheiro!",
    "Não foi possível ler o ficheiro!",
    "Não foi possível escrever no ficheiro! O disco está cheio?",
    "Não foi possível mover ou eliminar o ficheiro!",
    "Erro interno!",
    "A instalação do jogo está danificada. Tem de reinstalar o jogo antes de voltar a executar esta atualização.",
    "A atualização do jogo foi concluída com êxito.",
    "O jogo já está atualizado.",
    "A atualizar ficheiros...\nEste processo pode demorar algum tempo.",
    "Já está em execução outra instância do jogo ou deste programa de atualização...",
    "Não tem os privilégios necessários neste sistema. Inicie sessão como administrador e volte a executar esta "
    "atualização.",
    "Ignorar e continuar",
    "Poderá encontrar mais informações sobre este problema no ficheiro de registo $LOGFILE$",
    "Certifique-se de que tem permissões suficientes para aceder aos ficheiros do jogo. Se tiver um antivírus, "
    "suspenda-o enquanto esta atualização é aplicada.",
    "A atualização não está concluída! Pretende mesmo sair?",
    "Atualização",
    steam_unsupported_text,
}};

} // namespace orvo
