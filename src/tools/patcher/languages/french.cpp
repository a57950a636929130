#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_french = {{
    "Français",
    "Mise à jour",
    "Ce programme va mettre à jour le jeu vers la version $VERSION$",
    "Continuer",
    "Quitter",
    "Annuler",
    "Réessayer",
    "Échec de la vérification de l’intégrité des données. Le fichier de mise à jour est endommagé ou incomplet, "
    "peut-être à cause d’un téléchargement interrompu.",
    "La mise à jour a été annulée à la demande de l’utilisateur. Les fichiers du jeu n’ont pas été modifiés.",
    "Les fichiers du jeu n’ont pas été modifiés. Vous pourrez relancer cette mise à jour une fois le problème résolu.",
    "Vérification de l’intégrité des données...",
    "Jeu introuvable ! Il n’a peut-être pas été installé correctement, ou des fichiers importants sont manquants. "
    "Copiez cette mise à jour dans le dossier d’installation du jeu (il doit contenir le fichier base.ktl) et "
    "lancez-la depuis cet emplacement.",
    "Version du jeu non prise en charge ! Cette mise à jour ne prend pas en charge votre version du jeu, ou les "
    "fichiers du jeu sont endommagés.",
    "Vérification de l’état des fichiers...",
    "Attention : l’espace libre sur le disque de destination est insuffisant, au moins $SPACE$ Mo sont "
    "nécessaires.\nVoulez-vous continuer malgré tout ?",
    "La mise à jour est en cours ! Voulez-vous vraiment l’annuler ?",
    "Impossible de créer le fichier !",
    "Impossible d’ouvrir le fichier !",
    "Impossible de lire le fichier !",
    "Impossible d’écrire dans le fichier ! Le disque est-il plein ?",
    "Impossible de déplacer ou de supprimer le fichier !",
    "Erreur interne !",
    "L’installation du jeu est endommagée. Vous devez réinstaller le jeu avant de relancer cette mise à jour.",
    "La mise à jour du jeu s’est terminée avec succès.",
    "Le jeu est déjà à jour.",
    "Mise à jour des fichiers...\nCette opération peut prendre un certain temps.",
    "Le jeu ou ce programme de mise à jour est déjà en cours d’exécution...",
    "Vous ne disposez pas des droits nécessaires sur ce système. Connectez-vous en tant qu’administrateur, puis "
    "relancez cette mise à jour.",
    "Continuer quand même",
    "Vous trouverez peut-être plus d’informations sur ce problème dans le journal $LOGFILE$",
    "Vérifiez que vous disposez des droits suffisants pour accéder aux fichiers du jeu. Si un antivirus est actif, "
    "désactivez-le le temps d’appliquer cette mise à jour.",
    "La mise à jour n’est pas terminée ! Voulez-vous vraiment quitter ?",
    "Mise à jour",
    steam_unsupported_text,
}};

} // namespace orvo
