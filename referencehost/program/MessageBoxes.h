/*
 * The message boxes a run shows, met as a user meets them: a thread-local
 * CBT hook sees each box when it is activated, reads its caption, text and
 * buttons, prints it on standard error, and presses the button that the
 * command's answer chooses by posting it to the box, whose own modal loop
 * then handles it.
 */
#pragma once

#include "common/win/Platform.h"
#include "referencehost/MessageBoxWindows.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace paylode::hostprogram {

class CMessageBoxAnswers {
public:
    // Chooses the button to press; a button the box lacks is replaced by the
    // box's safest one (Cancel, then No, then OK).
    using Answer = std::function<int(const referencehost::MessageBoxContents&)>;

    explicit CMessageBoxAnswers(Answer answer);
    ~CMessageBoxAnswers();
    CMessageBoxAnswers(const CMessageBoxAnswers&) = delete;
    CMessageBoxAnswers& operator=(const CMessageBoxAnswers&) = delete;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam);
    void Meet(HWND box);

    Answer answer_;
    HHOOK hook_ = nullptr;
    std::set<HWND> answered_;
    inline static CMessageBoxAnswers* current_ = nullptr;
};

}  // namespace paylode::hostprogram
