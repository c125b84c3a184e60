#pragma once

#include "platform/ui/Form.h"

#include <memory>

namespace vx {

class TComponent;
class TImage;
class TLabel;
class TTimer;
class TmlLang;

// The window shown while the program starts: borderless, above the others, gone by itself
// three seconds after it was made.
class Tsplashform : public TForm {
    Q_OBJECT
public:
    explicit Tsplashform(QWidget* parent = nullptr);
    ~Tsplashform() override;

    TImage* Image1;
    TLabel* Label1;
    TLabel* Label2;
    std::unique_ptr<TTimer> Timer1;
    TmlLang* mlLang1;

    void FormActivate(QObject* sender);
    void Timer1Timer(TComponent* sender);
};

} // namespace vx
