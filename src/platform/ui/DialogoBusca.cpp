#include "platform/ui/DialogoBusca.h"

#include "platform/Texto1252.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>
#include <algorithm>

namespace dorvan {

DialogoBusca::DialogoBusca(bool substituir, QWidget* pai) : QDialog(pai) {
    setObjectName(substituir ? QStringLiteral("ReplaceDialog1") : QStringLiteral("FindDialog1"));
    setWindowTitle(substituir ? QStringLiteral("Substituir") : QStringLiteral("Localizar"));
    Texto = new QLineEdit(this);
    Maiusculas = new QCheckBox(QStringLiteral("Diferenciar mai\u00FAsculas de min\u00FAsculas"), this);
    PalavraInteira = new QCheckBox(QStringLiteral("Palavra inteira"), this);
    ParaCima = new QRadioButton(QStringLiteral("Acima"), this);
    ParaBaixo = new QRadioButton(QStringLiteral("Abaixo"), this);
    ParaBaixo->setChecked(true);
    auto* campos = new QVBoxLayout;
    auto* l1 = new QHBoxLayout;
    l1->addWidget(new QLabel(QStringLiteral("Localizar:"), this));
    l1->addWidget(Texto);
    campos->addLayout(l1);
    if (substituir) {
        Substituto = new QLineEdit(this);
        auto* l2 = new QHBoxLayout;
        l2->addWidget(new QLabel(QStringLiteral("Substituir por:"), this));
        l2->addWidget(Substituto);
        campos->addLayout(l2);
    }
    campos->addWidget(PalavraInteira);
    campos->addWidget(Maiusculas);
    auto* direcao = new QGroupBox(QStringLiteral("Dire\u00E7\u00E3o"), this);
    auto* ld = new QHBoxLayout(direcao);
    ld->addWidget(ParaCima);
    ld->addWidget(ParaBaixo);
    campos->addWidget(direcao);

    auto* botoes = new QVBoxLayout;
    auto* proxima = new QPushButton(QStringLiteral("Localizar pr\u00F3xima"), this);
    proxima->setObjectName(QStringLiteral("bLocaliza"));
    proxima->setDefault(true);
    connect(proxima, &QPushButton::clicked, this, [this] {
        if (AoLocalizar) AoLocalizar();
    });
    botoes->addWidget(proxima);
    if (substituir) {
        auto* um = new QPushButton(QStringLiteral("Substituir"), this);
        um->setObjectName(QStringLiteral("bSubstitui"));
        auto* todas = new QPushButton(QStringLiteral("Substituir todas"), this);
        todas->setObjectName(QStringLiteral("bSubstituiTodas"));
        connect(um, &QPushButton::clicked, this, [this] {
            SubstituirTodas = false;
            if (AoSubstituir) AoSubstituir();
        });
        connect(todas, &QPushButton::clicked, this, [this] {
            SubstituirTodas = true;
            if (AoSubstituir) AoSubstituir();
        });
        botoes->addWidget(um);
        botoes->addWidget(todas);
    }
    auto* cancela = new QPushButton(QStringLiteral("Cancelar"), this);
    connect(cancela, &QPushButton::clicked, this, &QDialog::hide);
    botoes->addWidget(cancela);
    botoes->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(campos, 1);
    layout->addLayout(botoes);
}

bool LocalizaNoEditor(QsciScintilla& editor, const DialogoBusca& d) {
    const QString texto = d.Texto->text();
    const bool paraFrente = !d.ParaCima->isChecked();
    int l0 = -1, i0 = -1, l1 = -1, i1 = -1;
    editor.getSelection(&l0, &i0, &l1, &i1);
    int linha = 0, indice = 0;
    if (l0 < 0)
        editor.getCursorPosition(&linha, &indice);
    else if (paraFrente)
        linha = l1, indice = i1;
    else
        linha = l0, indice = i0;
    return !texto.isEmpty() && editor.findFirst(texto, false, d.Maiusculas->isChecked(),
                                                d.PalavraInteira->isChecked(), false, paraFrente, linha, indice);
}

bool TemSelecaoNoEditor(QsciScintilla& editor) {
    return editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEMPTY) == 0;
}

QString TextoSelecionadoNoEditor(QsciScintilla& editor) {
    if (!TemSelecaoNoEditor(editor)) return {};
    const long n = editor.SendScintilla(QsciScintillaBase::SCI_GETSELTEXT, 0UL, static_cast<char*>(nullptr));
    QByteArray bytes(static_cast<qsizetype>(std::max(0L, n)) + 1, '\0');
    editor.SendScintilla(QsciScintillaBase::SCI_GETSELTEXT, 0UL, bytes.data());
    return QString::fromUtf8(bytes.constData());
}

void SubstituiNoEditor(QsciScintilla& editor, DialogoBusca& d, const std::function<bool(bool avisa)>& localiza) {
    const QString busca = d.Texto->text();
    const QString novo = d.Substituto->text();
    const bool paraTras = d.ParaCima->isChecked();
    auto substitui = [&] {
        int l0 = 0, i0 = 0, l1 = 0, i1 = 0;
        editor.getSelection(&l0, &i0, &l1, &i1);
        editor.replaceSelectedText(novo);
        if (paraTras) editor.setCursorPosition(l0, i0);
    };
    // The selection is read from the editor itself, so a block chosen a moment ago counts.
    if (TemSelecaoNoEditor(editor)) {
        const Qt::CaseSensitivity cs = d.Maiusculas->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
        if (TextoSelecionadoNoEditor(editor).compare(busca, cs) == 0) substitui();
    }
    if (!localiza(true)) return;
    if (!d.SubstituirTodas) return;
    d.hide();
    editor.beginUndoAction();
    do {
        substitui();
    } while (localiza(false));
    editor.endUndoAction();
}

BuscaNoEditor::BuscaNoEditor(QsciScintilla& editor, QWidget* pai, std::function<void(const std::string&)> naoEncontrada)
    : Localizar(new DialogoBusca(false, pai)), Substituir(new DialogoBusca(true, pai)), editor_(editor),
      naoEncontrada_(std::move(naoEncontrada)) {
    Localizar->AoLocalizar = [this] { Localiza(*Localizar, true); };
    Substituir->AoLocalizar = [this] { Localiza(*Substituir, true); };
    Substituir->AoSubstituir = [this] { SubstituiSelecao(); };
}

void BuscaNoEditor::MostraLocalizar() const {
    Localizar->show();
    Localizar->raise();
}

void BuscaNoEditor::MostraSubstituir() const {
    Substituir->show();
    Substituir->raise();
}

bool BuscaNoEditor::Localiza(const DialogoBusca& d, bool avisa) const {
    const bool achou = LocalizaNoEditor(editor_, d);
    if (!achou && avisa) naoEncontrada_(DeQString(d.Texto->text()));
    return achou;
}

void BuscaNoEditor::SubstituiSelecao() const {
    SubstituiNoEditor(editor_, *Substituir, [this](bool avisa) { return Localiza(*Substituir, avisa); });
}

void HabilitaMenuEditar(QsciScintilla& editor, QAction* desfazer, QAction* refazer,
                        std::initializer_list<QAction*> comSelecao, QAction* colar) {
    const bool sel = TemSelecaoNoEditor(editor);
    desfazer->setEnabled(editor.isUndoAvailable());
    refazer->setEnabled(editor.isRedoAvailable());
    for (QAction* a : comSelecao)
        a->setEnabled(sel);
    const QClipboard* cb = QApplication::clipboard();
    colar->setEnabled(cb && !cb->text().isEmpty());
}

} // namespace dorvan
