/*
 * The payment options dialog's window; see PaymentOptionsDialog.h.
 */
#include "payments/win/PaymentOptionsDialog.h"

#include <commctrl.h>

#include <vector>

#include "combase/Module.h"
#include "common/OleDate.h"
#include "payments/PaymentOptionFields.h"
#include "payments/PaymentOptionsGeometry.h"
#include "payments/win/ComponentTables.h"
#include "resources/resource.h"

namespace paylode {
namespace {

// The common controls' registration entry and its argument, looked up at run
// time: a system without them still shows the dialog when the platform has
// registered the classes itself.
using InitCommonControlsExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

HMODULE LoadCommonControls() {
    const HMODULE library = LoadLibraryA("comctl32.dll");
    if (library == nullptr) return nullptr;
    const auto initialise = reinterpret_cast<InitCommonControlsExFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
    if (initialise != nullptr) {
        // The date picker's class, and the list view's, which some systems
        // register only on request.
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES};
        initialise(&classes);
    }
    return library;
}

ScreenRect ToScreenRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

HICON LoadDialogIcon(int sizeMetric) {
    const int size = GetSystemMetrics(sizeMetric);
    return static_cast<HICON>(LoadImageA(CModule::Instance(), MAKEINTRESOURCEA(IDI_PAYLODE), IMAGE_ICON, size, size, 0));
}

}  // namespace

CPaymentOptionsDialog::CPaymentOptionsDialog(ITorvoBankPayments* batch, const CString& templateName,
                               const CString& beneficiaryReference, int ireland)
    : batch_(batch, FailedFetch::Raise),
      model_(batch_, templateName, beneficiaryReference, ireland),
      commonControls_(LoadCommonControls()) {
    model_.SetBankClosures(&ComponentBankClosures());
    model_.SetModulusTables(ComponentModulusTables());
}

CPaymentOptionsDialog::~CPaymentOptionsDialog() = default;

INT_PTR CPaymentOptionsDialog::DoModal(HWND owner) {
    failure_ = nullptr;
    const INT_PTR result = DialogBoxParamA(CModule::Instance(), MAKEINTRESOURCEA(IDD_PAYMENT_OPTIONS), owner, DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    window_ = nullptr;
    if (failure_) std::rethrow_exception(failure_);
    return result;
}

INT_PTR CALLBACK CPaymentOptionsDialog::DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lparam);
        reinterpret_cast<CPaymentOptionsDialog*>(lparam)->window_ = window;
    }
    auto* dialog = reinterpret_cast<CPaymentOptionsDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr) return FALSE;
    // Nothing thrown may cross the platform's dialog manager: the dialog
    // closes and DoModal throws it again.
    try {
        INT_PTR result = FALSE;
        if (!dialog->ProcessWindowMessage(message, wparam, lparam, &result)) return FALSE;
        return result;
    } catch (...) {
        dialog->failure_ = std::current_exception();
        EndDialog(window, -1);
        return TRUE;
    }
}

bool CPaymentOptionsDialog::ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        *result = TRUE;  // the platform gives the first control the focus
        return true;
    case WM_COMMAND:
        // On the control id alone, whatever the notification.
        OnCommand(LOWORD(wparam));
        *result = TRUE;
        return true;
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lparam), result);
    case WM_CTLCOLORSTATIC:
        *result = OnColorStatic(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
        return *result != 0;
    default: return false;
    }
}

void CPaymentOptionsDialog::OnInitDialog() {
    CentreOverOwner();
    largeIcon_.Reset(LoadDialogIcon(SM_CXICON));
    smallIcon_.Reset(LoadDialogIcon(SM_CXSMICON));
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.Get()));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));

    SetUpList();
    SendDlgItemMessageA(window_, IDC_REFERENCE, EM_LIMITTEXT, kBeneficiaryReferenceLimit, 0);
    SendDlgItemMessageA(window_, IDC_TEMPLATE, EM_LIMITTEXT, kTemplateNameLimit, 0);
    CheckRadioButton(window_, IDC_FORMAT_STANDARD, IDC_FORMAT_AD_HOC_BULK, IDC_FORMAT_STANDARD);
    CheckDlgButton(window_, IDC_IRELAND, model_.GetIrelandPayment() != 0 ? BST_CHECKED : BST_UNCHECKED);

    const PaymentOptionsFieldTexts texts = model_.Open();
    ShowList();
    ShowFieldTexts(texts);
    ShowLayout();
    SendDlgItemMessageA(window_, IDC_PROCESSING_DATE, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("dd/MM/yyyy"));
    ShowProcessingDate();
}

void CPaymentOptionsDialog::CentreOverOwner() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT dialog{};
    GetWindowRect(window_, &dialog);
    const HWND owner = GetWindow(window_, GW_OWNER);
    RECT ownerRect{};
    const bool overOwner =
        owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner) && GetWindowRect(owner, &ownerRect);
    const ScreenRect ownerArea = ToScreenRect(ownerRect);
    const ScreenRect placed = PlaceDialog(ToScreenRect(dialog), overOwner ? &ownerArea : nullptr, ToScreenRect(work));
    SetWindowPos(window_, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPaymentOptionsDialog::SetUpList() {
    const HWND list = Item(IDC_IAT_LIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (int column = 0; column < kPaymentListColumnCount; ++column) {
        const PaymentListColumnInfo& info = kPaymentListColumns[column];
        LVCOLUMNA header{};
        header.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        header.fmt = info.rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT;
        header.cx = info.width;
        header.pszText = const_cast<char*>(info.header);
        header.iSubItem = column;
        SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&header));
    }
}

// The list shows the model's rows: emptied (which drops the selection), given
// the new count, and drawn again from the rows on demand.
void CPaymentOptionsDialog::ShowList() {
    const HWND list = Item(IDC_IAT_LIST);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(list, LVM_SETITEMCOUNT, model_.Rows().size(), 0);
    InvalidateRect(list, nullptr, TRUE);
}

void CPaymentOptionsDialog::ShowLayout() {
    const PaymentOptionsLayout layout = model_.Layout();
    CString label;
    label.LoadString(CModule::Instance(), layout.creditingLabelId);
    SetDlgItemTextA(window_, IDC_CREDITING_LABEL, label);
    EnableWindow(Item(IDC_CREDITING_LABEL), TRUE);
    ShowDescription(layout.descriptionId);
    EnableWindow(Item(IDC_TEMPLATE_LABEL), layout.templateEnabled);
    EnableWindow(Item(IDC_TEMPLATE), layout.templateEnabled);
    EnableWindow(Item(IDC_REFERENCE_LABEL), layout.referenceEnabled);
    EnableWindow(Item(IDC_REFERENCE), layout.referenceEnabled);
    CheckDlgButton(window_, IDC_IAT_CHECK, layout.iatBoxChecked ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(Item(IDC_IAT_CHECK), layout.iatBoxEnabled);
    EnableWindow(Item(IDC_IAT_EXPLANATION), layout.iatBoxEnabled);
    EnableWindow(Item(IDC_IAT_LIST), layout.iatListEnabled);
    EnableWindow(Item(IDC_SET), layout.iatListEnabled);
    EnableWindow(Item(IDC_RESET), layout.iatListEnabled);
}

void CPaymentOptionsDialog::ShowFieldTexts(const PaymentOptionsFieldTexts& texts) {
    SetDlgItemTextA(window_, IDC_TEMPLATE, texts.templateName);
    SetDlgItemTextA(window_, IDC_REFERENCE, texts.beneficiaryReference);
}

// The description is drawn without a background of its own, so the dialog's
// background is painted under it first and the old text does not remain.
void CPaymentOptionsDialog::ShowDescription(unsigned stringId) {
    CString description;
    description.LoadString(CModule::Instance(), stringId);
    const HWND control = Item(IDC_DESCRIPTION);
    if (const HDC dc = GetDC(control)) {
        RECT area{};
        GetClientRect(control, &area);
        FillRect(dc, &area, GetSysColorBrush(COLOR_3DFACE));
        ReleaseDC(control, dc);
    }
    SetWindowTextA(control, description);
}

void CPaymentOptionsDialog::ShowProcessingDate() {
    DateFields fields;
    if (!FieldsFromOleDate(model_.GetProcessingDate(), &fields)) return;
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(fields.year);
    time.wMonth = static_cast<WORD>(fields.month);
    time.wDay = static_cast<WORD>(fields.day);
    time.wDayOfWeek = static_cast<WORD>(fields.dayOfWeek);
    time.wHour = static_cast<WORD>(fields.hour);
    time.wMinute = static_cast<WORD>(fields.minute);
    time.wSecond = static_cast<WORD>(fields.second);
    SendDlgItemMessageA(window_, IDC_PROCESSING_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

void CPaymentOptionsDialog::OnCommand(int id) {
    switch (id) {
    case IDC_FORMAT_STANDARD:
    case IDC_FORMAT_TEMPLATE:
    case IDC_FORMAT_BULK_LIST:
    case IDC_FORMAT_AD_HOC_BULK: {
        // The radio buttons are in format order.
        PaymentFormat format = PaymentFormat::Standard;
        if (PaymentFormatFromNumber(id - IDC_FORMAT_STANDARD, &format)) ShowFieldTexts(model_.SelectFormat(format));
        ShowLayout();
        break;
    }
    case IDC_IRELAND:
        ShowFieldTexts(model_.SetIrelandPayment(IsDlgButtonChecked(window_, IDC_IRELAND) == BST_CHECKED));
        ShowLayout();
        break;
    case IDC_IAT_CHECK:
        model_.SetIatMarking(IsDlgButtonChecked(window_, IDC_IAT_CHECK) == BST_CHECKED);
        ShowLayout();
        break;
    case IDC_SET: MarkSelectedRows(true); break;
    case IDC_RESET: MarkSelectedRows(false); break;
    case IDOK: Confirm(); break;
    case IDCANCEL:
        if (model_.Cancel(window_)) EndDialog(window_, IDCANCEL);
        break;
    default: break;
    }
}

void CPaymentOptionsDialog::MarkSelectedRows(bool iat) {
    const HWND list = Item(IDC_IAT_LIST);
    std::vector<int> selected;
    int row = -1;
    while ((row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0) {
        selected.push_back(row);
    }
    if (model_.MarkRows(selected, iat)) ShowList();
}

void CPaymentOptionsDialog::Confirm() {
    // One more than each field takes, for the terminating zero.
    char templateField[kTemplateNameLimit + 1] = {};
    char referenceField[kBeneficiaryReferenceLimit + 1] = {};
    GetDlgItemTextA(window_, IDC_TEMPLATE, templateField, sizeof templateField);
    GetDlgItemTextA(window_, IDC_REFERENCE, referenceField, sizeof referenceField);
    const PaymentOptionsConfirmation outcome = model_.Confirm(templateField, referenceField, window_, GetActiveWindow());
    if (outcome.close) {
        EndDialog(window_, IDOK);
        return;
    }
    const int focus = outcome.focus == PaymentOptionsField::TemplateName           ? IDC_TEMPLATE
                      : outcome.focus == PaymentOptionsField::BeneficiaryReference ? IDC_REFERENCE
                                                                            : 0;
    if (focus != 0) SendMessageA(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(focus)), TRUE);
}

bool CPaymentOptionsDialog::OnNotify(const NMHDR& header, INT_PTR* result) {
    if (header.idFrom == IDC_PROCESSING_DATE && header.code == DTN_DATETIMECHANGE) {
        const auto& change = reinterpret_cast<const NMDATETIMECHANGE&>(header);
        double date = 0;
        if (change.dwFlags == GDT_VALID &&
            OleDateFromFields(change.st.wYear, change.st.wMonth, change.st.wDay, change.st.wHour, change.st.wMinute,
                              change.st.wSecond, &date)) {
            model_.ChangeProcessingDate(date);
        }
        *result = 0;
        return true;
    }
    if (header.idFrom != IDC_IAT_LIST || (header.code != LVN_GETDISPINFOA && header.code != LVN_GETDISPINFOW)) {
        return false;
    }
    // The owner-data list asks for a cell when it draws it.
    auto& item = const_cast<LVITEMA&>(reinterpret_cast<const NMLVDISPINFOA&>(header).item);
    const auto& rows = model_.Rows();
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= rows.size()) return false;
    const PaymentListRow& row = rows[static_cast<std::size_t>(item.iItem)];
    if ((item.mask & LVIF_PARAM) != 0) item.lParam = row.batchIndex;
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0 && item.iSubItem >= 0 &&
        item.iSubItem < kPaymentListColumnCount) {
        const char* text = row.cells[item.iSubItem];
        if (header.code == LVN_GETDISPINFOA) {
            lstrcpynA(item.pszText, text, item.cchTextMax);
        } else {
            auto* wide = reinterpret_cast<wchar_t*>(item.pszText);
            if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, item.cchTextMax) == 0) wide[item.cchTextMax - 1] = 0;
        }
    }
    *result = 0;
    return true;
}

INT_PTR CPaymentOptionsDialog::OnColorStatic(HDC dc, HWND control) {
    if (GetDlgCtrlID(control) != IDC_DESCRIPTION) return 0;
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH));
}

}  // namespace paylode
