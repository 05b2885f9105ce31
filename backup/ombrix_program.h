// Ombrix as a whole: its windows, created when first shown, and the way from one to the
// next. Exactly one window is visible at a time; closing any of them ends the program.
#pragma once

#include <QObject>

#include <filesystem>
#include <memory>

namespace ombrix {

class BackupRun;
class Form1;
class Form1RunWindow;
class Form2;
class Form3;
class HttpClient;

class OmbrixProgram : public QObject {
    Q_OBJECT
  public:
    explicit OmbrixProgram(std::filesystem::path programFolder);
    ~OmbrixProgram() override;

    void start(); // loads and shows the login window
    Form3* form3() const { return form3_.get(); }
    Form2* form2() const { return form2_.get(); } // after the login
    Form1* form1() const { return form1_.get(); } // after the first "Avanti >>"

  private:
    void showForm2();
    void showForm1(const QString& folder);
    void createForm1();

    std::filesystem::path programFolder_;
    std::unique_ptr<Form3> form3_;
    std::unique_ptr<Form2> form2_;
    std::unique_ptr<Form1> form1_;
    std::unique_ptr<HttpClient> client_;
    std::unique_ptr<Form1RunWindow> runWindow_;
    std::unique_ptr<BackupRun> run_;
};

} // namespace ombrix
