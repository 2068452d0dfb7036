#pragma once
// The About box: product name, version with the program file's date, the
// system it runs on, the maker's copyright line and web address, and a
// disclaimer. Created for each showing and freed after it.
#include <QDialog>
#include <string>

#include "app/services.h"

class QLabel;
class QPushButton;

namespace qm {

class TFormAbout : public QDialog {
    Q_OBJECT
public:
    // `website`: the maker's web address the box names; `owner`: the main
    // window, whose caption is the product name and over which the box is
    // centred.
    TFormAbout(const Services& services, const std::string& website, QWidget* owner);

    QWidget* Panel1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblOS = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblComments = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FormCreate();

    Services S;
};

}  // namespace qm
