#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_turkish = {{
    "Türkçe",
    "Güncellemesi",
    "Bu program oyunu $VERSION$ sürümüne güncelleyecek",
    "Devam",
    "Çıkış",
    "İptal",
    "Yeniden Dene",
    "Veri bütünlüğü denetimi başarısız oldu. Güncelleme dosyası hasarlı veya eksik; indirme yarıda kesilmiş olabilir.",
    "Güncelleme kullanıcının isteği üzerine iptal edildi. Oyun dosyalarında hiçbir değişiklik yapılmadı.",
    "Oyun dosyalarında hiçbir değişiklik yapılmadı. Sorunu giderdikten sonra bu güncellemeyi yeniden "
    "uygulayabilirsiniz.",
    "Veri bütünlüğü denetleniyor...",
    "Oyun bulunamadı! Oyun düzgün kurulmamış ya da bazı önemli dosyalar eksik olabilir. Bu güncellemeyi oyunun kurulu "
    "olduğu klasöre (base.ktl dosyasını içermelidir) kopyalayıp oradan çalıştırmayı deneyin.",
    "Desteklenmeyen oyun sürümü! Bu güncelleme oyunun bu sürümünü desteklemiyor ya da oyun dosyaları bozuk.",
    "Dosya durumları denetleniyor...",
    "Uyarı: Hedef diskte yeterli boş alan yok, en az $SPACE$ MB gerekiyor.\nYine de devam etmek istiyor musunuz?",
    "Güncelleme sürüyor! Gerçekten iptal etmek istiyor musunuz?",
    "Dosya oluşturulamadı!",
    "Dosya açılamadı!",
    "Dosya okunamadı!",
    "Dosyaya yazılamadı! Disk dolu olabilir mi?",
    "Dosya taşınamadı veya silinemedi!",
    "Dahili hata!",
    "Oyun kurulumu bozuk. Bu güncellemeyi yeniden çalıştırmadan önce oyunu yeniden kurmanız gerekiyor.",
    "Oyun güncellemesi başarıyla tamamlandı.",
    "Oyun zaten güncel.",
    "Dosyalar güncelleniyor...\nBu işlem biraz zaman alabilir.",
    "Oyun ya da bu güncelleyicinin başka bir kopyası zaten çalışıyor...",
    "Bu sistemde gerekli yetkilere sahip değilsiniz. Yönetici olarak oturum açıp bu güncellemeyi yeniden çalıştırın.",
    "Yine de Devam Et",
    "Bu sorunla ilgili ayrıntılı bilgiyi şu günlük dosyasında bulabilirsiniz: $LOGFILE$",
    "Oyun dosyalarına erişmek için yeterli izinlere sahip olduğunuzdan emin olun. Bir virüsten koruma programı "
    "kullanıyorsanız güncelleme süresince onu geçici olarak devre dışı bırakın.",
    "Güncelleme tamamlanmadı! Gerçekten çıkmak istiyor musunuz?",
    "Güncelleme",
    steam_unsupported_text,
}};

} // namespace orvo
