/*
 * The message boxes a run shows, met as a user meets them: a thread-local
 * CBT hook sees each box when it is activated, reads its caption, text and
 * buttons, prints it on standard error, and presses the button that the
 * command's answer chooses by posting it to the box, whose own modal loop
 * then handles it.
 */
#pragma once

#include "common/win/Platform.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace paylode::host {

struct MetMessageBox {
    HWND box = nullptr;
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    std::vector<int> buttons;  // IDOK, IDCANCEL, IDYES, IDNO, ...
    int pressed = 0;
};

class CMessageBoxAnswers {
public:
    // Chooses the button to press; a button the box lacks is replaced by the
    // box's safest one (Cancel, then No, then OK).
    using Answer = std::function<int(const MetMessageBox&)>;

    explicit CMessageBoxAnswers(Answer answer);
    ~CMessageBoxAnswers();
    CMessageBoxAnswers(const CMessageBoxAnswers&) = delete;
    CMessageBoxAnswers& operator=(const CMessageBoxAnswers&) = delete;

    const std::vector<MetMessageBox>& Met() const { return met_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam);
    void Meet(HWND box);

    Answer answer_;
    HHOOK hook_ = nullptr;
    std::set<HWND> answered_;
    std::vector<MetMessageBox> met_;
    inline static CMessageBoxAnswers* current_ = nullptr;
};

}  // namespace paylode::host
