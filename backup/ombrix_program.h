// Ombrix as a whole: its windows, created when first shown, and the way from one to the
// next. Exactly one window is visible at a time; closing any of them ends the program.
#pragma once

#include <QObject>

#include <filesystem>
#include <memory>

class Form3;
class QWidget;

class OmbrixProgram : public QObject {
    Q_OBJECT
  public:
    explicit OmbrixProgram(std::filesystem::path programFolder);
    ~OmbrixProgram() override;

    void start(); // loads and shows the login window
    Form3* form3() const { return form3_.get(); }
    QWidget* form2() const { return form2_.get(); }

  private:
    void showForm2();

    std::filesystem::path programFolder_;
    std::unique_ptr<Form3> form3_;
    std::unique_ptr<QWidget> form2_;
};
