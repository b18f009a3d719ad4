#pragma once
// The run log window: shows and edits the program's run log (LogAtual) and holds
// the "Mostra log ao abrir tabela" setting. As a dialog of the window it belongs to
// (its parent) it stays above that window but never above a later dialog: a modal
// dialog it covered could not be answered, its own close button being blocked.
#include <QDialog>
#include <cstddef>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace dorvan {

class LogExecucao;

// Longest line the memo lays out whole; a longer one shows cut, with its length.
inline constexpr std::size_t LinhaMaximaMostrada = 1000;

class TLog : public QDialog {
    Q_OBJECT
public:
    explicit TLog(QWidget* pai = nullptr, LogExecucao* log = nullptr);
    ~TLog() override;

    // Copies the memo's selection, the whole text when nothing is selected.
    void CopiaParaClipboard();

    QPlainTextEdit* LogMemo;
    QPushButton* bCopia;
    QPushButton* bFecha;
    QCheckBox* CheckBox1;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void Recarrega();
    LogExecucao& log_;
    bool ocupado_ = false;
};

extern TLog* Log;

} // namespace dorvan
