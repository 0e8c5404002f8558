#pragma once

#include <QString>

namespace platform {

// Message-box styles combine a button set, an icon and a default button.
namespace MsgBoxStyle {
constexpr int OkOnly = 0;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int DefaultButton2 = 256;
constexpr int YesNoCriticalDefaultNo = YesNo | Critical | DefaultButton2;  // 276
}  // namespace MsgBoxStyle

namespace MsgBoxAnswer {
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
}  // namespace MsgBoxAnswer

// Shows a modal message and returns the button pressed.
class MessageBoxService {
  public:
    virtual ~MessageBoxService() = default;
    virtual int MsgBox(const QString& text, int style, const QString& title) = 0;
};

}  // namespace platform
