#include "table/ui/TLog.h"

#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"
#include "table/LogExecucao.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace dorvan {

TLog* Log = nullptr;

TLog::TLog(QWidget* pai, LogExecucao* log) : QDialog(pai, JanelaAuxiliar), log_(log ? *log : LogAtual()) {
    setObjectName(QStringLiteral("Log"));
    setWindowTitle(QStringLiteral("Log"));
    LogMemo = new QPlainTextEdit(this);
    LogMemo->setObjectName(QStringLiteral("LogMemo"));
    UsaFonteFixa(LogMemo);
    bCopia = new QPushButton(QStringLiteral("Copia para clipboard"), this);
    bFecha = new QPushButton(QStringLiteral("Fecha&r"), this);
    CheckBox1 = new QCheckBox(QStringLiteral("Mostra log ao abrir tabela"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    auto* painel = new QHBoxLayout;
    painel->addWidget(bCopia);
    painel->addWidget(bFecha);
    painel->addWidget(CheckBox1);
    painel->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LogMemo, 1);
    layout->addLayout(painel);
    resize(560, 400);

    connect(bCopia, &QPushButton::clicked, this, &TLog::CopiaParaClipboard);
    connect(bFecha, &QPushButton::clicked, this, &QDialog::close);
    connect(CheckBox1, &QCheckBox::toggled, this, [this](bool sim) { log_.DefineMostraAoAbrir(sim); });
    // Edits go back to the log, so a table saved afterwards keeps them.
    connect(LogMemo, &QPlainTextEdit::textChanged, this, [this] {
        if (ocupado_) return;
        ocupado_ = true;
        log_.DefineTextoMostrado(DeQString(LogMemo->toPlainText()), LinhaMaximaMostrada);
        ocupado_ = false;
    });
    log_.DefineAoMudar([this] { Recarrega(); });
    Recarrega();
}

TLog::~TLog() { log_.DefineAoMudar({}); }

void TLog::Recarrega() {
    if (ocupado_) return;
    ocupado_ = true;
    LogMemo->setPlainText(ParaQString(log_.TextoMostrado(LinhaMaximaMostrada)));
    CheckBox1->setChecked(log_.MostraAoAbrir());
    ocupado_ = false;
}

void TLog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    CheckBox1->setChecked(log_.MostraAoAbrir());
    LogMemo->setFocus();
}

void TLog::CopiaParaClipboard() {
    if (!LogMemo->textCursor().hasSelection()) LogMemo->selectAll();
    LogMemo->copy();
}

} // namespace dorvan
