#pragma once
// The logged-on operator changes his or her own password: first the current one (stage 1),
// then the new one twice (stage 2).
#include "operators.h"
#include "ui/baseform.h"

#include <memory>
#include <optional>

namespace Ui {
class ChangePassword_Form;
}

class TChangePassword_Form : public TBaseForm
{
    Q_OBJECT
public:
    explicit TChangePassword_Form(QWidget *parent = nullptr);
    ~TChangePassword_Form() override;

    // Stage 1 asks for the current password, stage 2 for the new one.
    bool InFirstStage() const;
    void Ok_BtClick();

private:
    void ShowStage(bool first);

    std::unique_ptr<Ui::ChangePassword_Form> ui;
    std::optional<ProvenPassword> m_proven;
};
