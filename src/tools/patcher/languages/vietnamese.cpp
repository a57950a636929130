#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_vietnamese = {{
    "Tiếng Việt",
    "Cập nhật",
    "Chương trình này sẽ cập nhật trò chơi lên phiên bản $VERSION$",
    "Tiếp tục",
    "Thoát",
    "Hủy bỏ",
    "Thử lại",
    "Kiểm tra tính toàn vẹn dữ liệu thất bại. Tệp cập nhật bị hỏng hoặc không đầy đủ, có thể do quá trình tải xuống bị "
    "gián đoạn.",
    "Quá trình cập nhật đã bị hủy theo yêu cầu của người dùng. Các tệp trò chơi chưa bị thay đổi.",
    "Các tệp trò chơi chưa bị thay đổi. Bạn có thể chạy lại bản cập nhật này sau khi khắc phục sự cố.",
    "Đang kiểm tra tính toàn vẹn dữ liệu...",
    "Không tìm thấy trò chơi! Có thể trò chơi chưa được cài đặt đúng cách hoặc thiếu một số tệp quan trọng. Hãy thử "
    "sao chép bản cập nhật này vào thư mục cài đặt trò chơi (thư mục này phải chứa tệp base.ktl) rồi chạy từ đó.",
    "Phiên bản trò chơi không được hỗ trợ! Bản cập nhật này không hỗ trợ phiên bản trò chơi hiện tại, hoặc các tệp trò "
    "chơi đã bị hỏng.",
    "Đang kiểm tra trạng thái tệp...",
    "Cảnh báo: Ổ đĩa đích không đủ dung lượng trống, cần ít nhất $SPACE$ MB.\nBạn vẫn muốn tiếp tục chứ?",
    "Đang cập nhật! Bạn có thực sự muốn hủy bỏ không?",
    "Không thể tạo tệp!",
    "Không thể mở tệp!",
    "Không thể đọc tệp!",
    "Không thể ghi tệp! Có phải ổ đĩa đã đầy?",
    "Không thể di chuyển hoặc xóa tệp!",
    "Lỗi nội bộ!",
    "Bản cài đặt trò chơi đã bị hỏng. Bạn cần cài đặt lại trò chơi trước khi chạy lại bản cập nhật này.",
    "Đã cập nhật trò chơi thành công.",
    "Trò chơi đã là phiên bản mới nhất.",
    "Đang cập nhật tệp...\nQuá trình này có thể mất một lúc.",
    "Trò chơi hoặc một phiên khác của trình cập nhật này đang chạy...",
    "Bạn không có quyền phù hợp trên hệ thống này. Hãy đăng nhập bằng tài khoản quản trị viên rồi chạy lại bản cập "
    "nhật này.",
    "Vẫn tiếp tục",
    "Bạn có thể xem thêm thông tin về sự cố này trong tệp nhật ký tại $LOGFILE$",
    "Hãy đảm bảo bạn có đủ quyền truy cập các tệp trò chơi. Nếu đang dùng phần mềm diệt virus, hãy tạm tắt nó trong "
    "khi cài đặt bản cập nhật này.",
    "Quá trình cập nhật chưa hoàn tất! Bạn có thực sự muốn thoát không?",
    "Cập nhật",
    steam_unsupported_text,
}};

} // namespace orvo
