// The file a body is written into as it arrives: an open file descriptor seen as a
// QIODevice, which remembers why the system refused a write.
#pragma once

#include <QIODevice>

#include <system_error>

namespace ombrix {

class BodyFile : public QIODevice {
  public:
    // Writes go to fd from now on; fd stays the caller's.
    void attach(int fd);
    void detach();
    std::error_code writeError() const { return error_; }
    qint64 written() const { return written_; }

    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

  private:
    int fd_ = -1;
    qint64 written_ = 0;
    std::error_code error_;
};

} // namespace ombrix
