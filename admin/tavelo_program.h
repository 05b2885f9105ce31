// Tavelo as a whole: the user-management window and the two windows it opens, each
// created when first shown and afterwards only hidden and shown again. Exactly one
// window is visible at a time; closing it ends the program.
#pragma once

#include <QObject>

#include <filesystem>
#include <memory>

namespace tavelo {

class Form1;
class Genera;
class Index;

class TaveloProgram : public QObject {
    Q_OBJECT
  public:
    explicit TaveloProgram(std::filesystem::path programFolder);
    ~TaveloProgram() override;

    void start(); // loads and shows Index
    Index* index() const { return index_.get(); }
    Genera* genera() const { return genera_.get(); }
    Form1* form1() const { return form1_.get(); }

  private:
    void openGenera();
    void openForm1();
    void backFromGenera();
    void backFromForm1();

    std::filesystem::path programFolder_;
    std::unique_ptr<Index> index_;
    std::unique_ptr<Genera> genera_;
    std::unique_ptr<Form1> form1_;
};

} // namespace tavelo
