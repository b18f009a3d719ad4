#pragma once
// The system's own yes/no box: "&Sim" focused, "&Não" also on Esc; S and N answer
// with Alt or without it.
#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace dorvan {

class TSimNao : public QDialog {
    Q_OBJECT
public:
    explicit TSimNao(QWidget* pai = nullptr);

    // Caption titulo (or "Sim ou Não?" when empty), mensagem in the label; shown
    // modally; true only when "&Sim" was pressed.
    bool Pergunta(const std::string& titulo, const std::string& mensagem);

    QLabel* Mensagem;
    QPushButton* bSim;
    QPushButton* bNao;

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

// The window created at start-up (null before); SimOuNao makes its own when absent.
extern TSimNao* SimNao;

bool SimOuNao(const std::string& titulo, const std::string& mensagem);

} // namespace dorvan
