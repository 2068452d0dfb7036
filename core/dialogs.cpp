#include "dialogs.h"

namespace qm {

const char* dialogTitle(DlgKind kind) {
    switch (kind) {
        case DlgKind::Warning: return "Warning";
        case DlgKind::Error: return "Error";
        case DlgKind::Information: return "Information";
        case DlgKind::Confirmation: return "Confirm";
    }
    return "";
}

const char* buttonCaption(DlgButton button) {
    switch (button) {
        case DlgButton::OK: return "OK";
        case DlgButton::Cancel: return "Cancel";
        case DlgButton::Yes: return "&Yes";
        case DlgButton::No: return "&No";
        case DlgButton::YesToAll: return "Yes to &All";
        case DlgButton::NoToAll: return "N&o to All";
        case DlgButton::None: break;
    }
    return "";
}

}  // namespace qm
