#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_portuguese_brazil = {{
    "Português (Brasil)",
    "atualização",
    "Este programa vai atualizar o jogo para a versão $VERSION$",
    "Continuar",
    "Sair",
    "Interromper",
    "Tentar de novo",
    "Falha na verificação de integridade dos dados. O arquivo de atualização está danificado ou incompleto, "
    "possivelmente por causa de um download interrompido.",
    "A atualização foi interrompida a pedido do usuário. Os arquivos do jogo não foram modificados.",
    "Os arquivos do jogo não foram modificados. Você pode aplicar esta atualização novamente depois de corrigir o "
    "problema.",
    "Verificando a integridade dos dados...",
    "Jogo não encontrado! Talvez ele não tenha sido instalado corretamente ou estejam faltando alguns arquivos "
    "importantes. Tente copiar esta atualização para a pasta onde o jogo está instalado (ela deve conter o arquivo "
    "base.ktl) e executá-la a partir de lá.",
    "Versão do jogo não suportada! Esta atualização não é compatível com esta versão do jogo, ou os arquivos do jogo "
    "estão corrompidos.",
    "Verificando o estado dos arquivos...",
    "Aviso: não há espaço livre suficiente no disco de destino. São necessários pelo menos $SPACE$ MB.\nDeseja "
    "continuar mesmo assim?",
    "A atualização está em andamento! Deseja mesmo interrompê-la?",
    "Não foi possível criar o arquivo!",
    "Não foi possível abrir o arquivo!",
    "Não foi possível ler o arquivo!",
    "Não foi possível gravar o arquivo! O disco está cheio?",
    "Não foi possível mover ou excluir o arquivo!",
    "Erro interno!",
    "A instalação do jogo está corrompida. Você precisa reinstalar o jogo antes de executar esta atualização "
    "novamente.",
    "O jogo foi atualizado com sucesso.",
    "O jogo já está atualizado.",
    "Atualizando arquivos...\nIsso pode levar algum tempo.",
    "Outra instância do jogo ou deste atualizador já está em execução...",
    "Você não tem as permissões necessárias neste sistema. Entre como administrador e execute esta atualização "
    "novamente.",
    "Ignorar e continuar",
    "Mais informações sobre este problema podem estar disponíveis no arquivo de log $LOGFILE$",
    "Verifique se você tem permissões suficientes para acessar os arquivos do jogo. Se houver um antivírus, "
    "desative-o temporariamente enquanto esta atualização é aplicada.",
    "A atualização não foi concluída! Deseja mesmo sair?",
    "Atualização",
    steam_unsupported_text,
}};

} // namespace orvo
