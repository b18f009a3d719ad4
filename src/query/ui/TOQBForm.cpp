#include "query/ui/TOQBForm.h"

#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/db/BancoDados.h"
#include "table/ui/TFEscolheDiretorio.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDrag>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

namespace dorvan {

namespace {

QString Q(const std::string& s) { return ParaQString(s); }

const char* const TitulosGrade[6] = {"Coluna", "Tabela", "Mostre", "Ordena\xE7\xE3o", "Fun\xE7\xE3o", "Agrupar"};
constexpr int MeiaRegiao = 7; // the link's popup region is 15 by 15 pixels

TOQBForm* g_aberto = nullptr; // at most one builder at a time

// The field dragged from a panel, or nothing.
std::optional<std::pair<std::string, int>> CampoArrastado(const QMimeData* m) {
    if (!m || !m->hasFormat(QString::fromLatin1(MimeCampoConstrutor))) return std::nullopt;
    const QString s = QString::fromUtf8(m->data(QString::fromLatin1(MimeCampoConstrutor)));
    const int tab = s.lastIndexOf(QLatin1Char('\t'));
    if (tab < 0) return std::nullopt;
    return std::make_pair(DeQString(s.left(tab)), s.mid(tab + 1).toInt());
}

// "Opções de conexão ": the tables and fields, the operator and the join type.
bool DialogoLigacao(const std::string& t1, const std::string& c1, const std::string& t2, const std::string& c2,
                    LigacaoModelo& l, QWidget* pai) {
    QDialog d(pai);
    d.setObjectName(QStringLiteral("TOQBLinkForm"));
    d.setWindowTitle(Q("Op\xE7\xF5"
                       "es de conex\xE3o "));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Tabela 1"), new QLabel(Q(t1), &d));
    form->addRow(QStringLiteral("Coluna 1"), new QLabel(Q(c1), &d));
    form->addRow(QStringLiteral("Tabela 2"), new QLabel(Q(t2), &d));
    form->addRow(QStringLiteral("Coluna 2"), new QLabel(Q(c2), &d));
    auto* op = new QComboBox(&d);
    op->setObjectName(QStringLiteral("cbOperador"));
    for (const char* o : OperadoresLigacao)
        op->addItem(QString::fromLatin1(o));
    op->setCurrentIndex(l.operador);
    auto* tipo = new QComboBox(&d);
    tipo->setObjectName(QStringLiteral("cbTipo"));
    for (const char* t : TiposLigacao)
        tipo->addItem(QString::fromLatin1(t));
    tipo->setCurrentIndex(l.tipo);
    form->addRow(QStringLiteral("Operador de Join"), op);
    form->addRow(QStringLiteral("Tipo de Join"), tipo);
    auto* botoes = new QDialogButtonBox(&d);
    botoes->addButton(QStringLiteral("&Ok"), QDialogButtonBox::AcceptRole);
    botoes->addButton(QStringLiteral("&Cancela"), QDialogButtonBox::RejectRole);
    QObject::connect(botoes, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(botoes, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    auto* v = new QVBoxLayout(&d);
    v->addLayout(form);
    v->addWidget(botoes);
    if (d.exec() != QDialog::Accepted) return false;
    l.operador = op->currentIndex();
    l.tipo = tipo->currentIndex();
    return true;
}

} // namespace

// ---- field list -------------------------------------------------------------------

TOQBLbx::TOQBLbx(TOQBForm& form, std::string tabela, QWidget* pai)
    : QListWidget(pai), form_(form), tabela_(std::move(tabela)) {
    setObjectName(QStringLiteral("TOQBLbx"));
    setAcceptDrops(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem* i) {
        const bool marcado = i->checkState() == Qt::Checked;
        const int t = form_.modelo.AchaTabela(tabela_);
        const int c = row(i);
        if (t < 0 || form_.modelo.tabelas[static_cast<std::size_t>(t)].marcados[static_cast<std::size_t>(c)] == marcado)
            return;
        form_.modelo.MarcaCampo(tabela_, c, marcado);
        form_.Atualiza();
    });
}

void TOQBLbx::mousePressEvent(QMouseEvent* e) {
    inicioArrasto_ = e->position().toPoint();
    linhaArrasto_ = e->button() == Qt::LeftButton ? row(itemAt(inicioArrasto_)) : -1;
    QListWidget::mousePressEvent(e);
}

void TOQBLbx::mouseMoveEvent(QMouseEvent* e) {
    if (linhaArrasto_ >= 0 && (e->buttons() & Qt::LeftButton) &&
        (e->position().toPoint() - inicioArrasto_).manhattanLength() >= QApplication::startDragDistance()) {
        auto* dados = new QMimeData;
        dados->setData(QString::fromLatin1(MimeCampoConstrutor),
                       (Q(tabela_) + QLatin1Char('\t') + QString::number(linhaArrasto_)).toUtf8());
        linhaArrasto_ = -1;
        auto* arrasto = new QDrag(this);
        arrasto->setMimeData(dados);
        arrasto->exec(Qt::LinkAction | Qt::CopyAction);
        return;
    }
    QListWidget::mouseMoveEvent(e);
}

void TOQBLbx::dragEnterEvent(QDragEnterEvent* e) {
    if (CampoArrastado(e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void TOQBLbx::dragMoveEvent(QDragMoveEvent* e) {
    const auto c = CampoArrastado(e->mimeData());
    const int alvo = row(itemAt(e->position().toPoint()));
    if (c && c->second > 0 && alvo > 0 && !(c->first == tabela_ && c->second == alvo))
        e->acceptProposedAction();
    else
        e->ignore();
}

void TOQBLbx::dropEvent(QDropEvent* e) {
    const auto c = CampoArrastado(e->mimeData());
    const int alvo = row(itemAt(e->position().toPoint()));
    if (!c || alvo < 1) return;
    e->acceptProposedAction();
    if (form_.modelo.Liga(c->first, c->second, tabela_, alvo)) form_.Atualiza();
}

void TOQBLbx::contextMenuEvent(QContextMenuEvent* e) {
    if (auto* p = qobject_cast<TOQBTable*>(parentWidget())) QApplication::sendEvent(p, e);
}

// ---- table panel -------------------------------------------------------------------

TOQBTable::TOQBTable(TOQBForm& form, const TabelaModelo& t, QWidget* area)
    : QFrame(area), form_(form), tabela_(t.nome) {
    setObjectName(QStringLiteral("TOQBTable"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(p);

    titulo_ = new QLabel(Q(t.nome), this);
    QFont negrito = titulo_->font();
    negrito.setBold(true);
    negrito.setPointSize(8);
    titulo_->setFont(negrito);
    titulo_->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* fecha = new QToolButton(this);
    fecha->setObjectName(QStringLiteral("btnFechar"));
    fecha->setText(QStringLiteral("x"));
    fecha->setToolTip(QStringLiteral("Fechar"));
    auto* desliga = new QToolButton(this);
    desliga->setObjectName(QStringLiteral("btnDesconectar"));
    desliga->setText(QStringLiteral("-"));
    desliga->setToolTip(QStringLiteral("Desconectar"));
    for (QToolButton* b : {fecha, desliga})
        b->setFixedSize(16, 16);
    const std::string nome = tabela_;
    TOQBForm* f = &form_;
    connect(fecha, &QToolButton::clicked, this, [f, nome] {
        f->modelo.RemoveTabela(nome);
        f->Atualiza();
    });
    connect(desliga, &QToolButton::clicked, this, [f, nome] {
        std::erase_if(f->modelo.ligacoes,
                      [&](const LigacaoModelo& l) { return l.tabela1 == nome || l.tabela2 == nome; });
        f->Atualiza();
    });

    lista_ = new TOQBLbx(form_, tabela_, this);
    int largo = 0;
    const QFontMetrics fm(lista_->font());
    {
        const QSignalBlocker bloqueio(lista_);
        for (std::size_t i = 0; i < t.campos.size(); ++i) {
            auto* item = new QListWidgetItem(Q(t.campos[i]), lista_);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(t.marcados[i] ? Qt::Checked : Qt::Unchecked);
            largo = std::max(largo, fm.horizontalAdvance(item->text()));
        }
    }
    const int alturaItem = std::max(lista_->sizeHintForRow(0), fm.height() + 2);
    const int alturaLista = static_cast<int>(t.campos.size()) * alturaItem + 4;
    const int largCheck = style()->pixelMetric(QStyle::PM_IndicatorWidth) + 6;
    int largura = largCheck + std::max(110, largo) + 20;
    largura = std::max(largura, QFontMetrics(negrito).horizontalAdvance(titulo_->text()) + 34);
    resize(largura, alturaLista + 22);
    titulo_->setGeometry(4, 2, largura - 44, 18);
    desliga->move(largura - 38, 3);
    fecha->move(largura - 20, 3);
    lista_->setGeometry(2, 20, largura - 4, alturaLista);
    move(t.esquerda, t.topo);
}

int TOQBTable::MeioDaLinha(int campo) const {
    const int alturaItem = lista_->count() > 0 ? lista_->visualItemRect(lista_->item(0)).height() : 16;
    return y() + lista_->y() + campo * alturaItem + alturaItem / 2 + 1;
}

void TOQBTable::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    movendo_ = true;
    pega_ = e->position().toPoint();
    raise();
}

void TOQBTable::mouseMoveEvent(QMouseEvent* e) {
    if (!movendo_) return;
    QWidget* area = parentWidget();
    QPoint destino = mapToParent(e->position().toPoint()) - pega_;
    // The panel stays inside the area.
    destino.setX(std::clamp(destino.x(), 0, std::max(0, area->width() - width())));
    destino.setY(std::clamp(destino.y(), 0, std::max(0, area->height() - height())));
    move(destino);
    const int i = form_.modelo.AchaTabela(tabela_);
    if (i >= 0) {
        form_.modelo.tabelas[static_cast<std::size_t>(i)].esquerda = destino.x();
        form_.modelo.tabelas[static_cast<std::size_t>(i)].topo = destino.y();
    }
    area->update();
}

void TOQBTable::mouseReleaseEvent(QMouseEvent*) { movendo_ = false; }

void TOQBTable::contextMenuEvent(QContextMenuEvent* e) {
    QMenu menu(this);
    QAction* todos = menu.addAction(QStringLiteral("Selecionar todos"));
    QAction* nenhum = menu.addAction(QStringLiteral("DeSelecionar todos"));
    QAction* desliga = menu.addAction(QStringLiteral("Desconectar"));
    QAction* fecha = menu.addAction(QStringLiteral("Fechar"));
    QAction* a = menu.exec(e->globalPos());
    const std::string nome = tabela_; // this panel may be gone after Atualiza
    TOQBForm& f = form_;
    if (a == todos)
        f.modelo.SelecionaTodos(nome);
    else if (a == nenhum)
        f.modelo.DeselecionaTodos(nome);
    else if (a == desliga)
        std::erase_if(f.modelo.ligacoes,
                      [&](const LigacaoModelo& l) { return l.tabela1 == nome || l.tabela2 == nome; });
    else if (a == fecha)
        f.modelo.RemoveTabela(nome);
    else
        return;
    f.Atualiza();
}

// ---- work area -------------------------------------------------------------------

TOQBArea::TOQBArea(TOQBForm& form, QWidget* pai) : QWidget(pai), form_(form) {
    setObjectName(QStringLiteral("TOQBArea"));
    setAcceptDrops(true);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80)); // grey 8421504
    setPalette(p);
    setMinimumSize(1200, 900);
}

std::vector<QPoint> TOQBArea::Caminho(int ligacao) const {
    const LigacaoModelo& l = form_.modelo.ligacoes[static_cast<std::size_t>(ligacao)];
    const TOQBTable* a = form_.Painel(l.tabela1);
    const TOQBTable* b = form_.Painel(l.tabela2);
    if (!a || !b) return {};
    const int y1 = a->MeioDaLinha(l.campo1);
    const int y2 = b->MeioDaLinha(l.campo2);
    const TOQBTable* esq = a->x() <= b->x() ? a : b;
    const TOQBTable* dir = esq == a ? b : a;
    const int yEsq = esq == a ? y1 : y2;
    const int yDir = esq == a ? y2 : y1;
    const int vao = dir->x() - (esq->x() + esq->width());
    if (vao > 15 && a != b) {
        const int x1 = esq->x() + esq->width();
        const int x2 = dir->x();
        const int meio = (x1 + x2) / 2;
        return {{x1, yEsq}, {meio, yEsq}, {meio, yDir}, {x2, yDir}};
    }
    // Too close (or the same table): out of the right edges and back.
    const int ra = a->x() + a->width();
    const int rb = b->x() + b->width();
    const int volta = std::max(ra, rb) + 15;
    return {{ra, y1}, {volta, y1}, {volta, y2}, {rb, y2}};
}

QRect TOQBArea::RegiaoLigacao(int ligacao) const {
    const auto c = Caminho(ligacao);
    if (c.size() < 4) return {};
    const QPoint meio((c[1].x() + c[2].x()) / 2, (c[1].y() + c[2].y()) / 2);
    return QRect(meio.x() - MeiaRegiao, meio.y() - MeiaRegiao, 2 * MeiaRegiao + 1, 2 * MeiaRegiao + 1);
}

int TOQBArea::LigacaoEm(const QPoint& p) const {
    // The last drawn is on top.
    for (int i = static_cast<int>(form_.modelo.ligacoes.size()) - 1; i >= 0; --i)
        if (RegiaoLigacao(i).contains(p)) return i;
    return -1;
}

void TOQBArea::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    QPainter p(this);
    p.setPen(QPen(Qt::black, 2));
    for (int i = 0; i < static_cast<int>(form_.modelo.ligacoes.size()); ++i) {
        const auto c = Caminho(i);
        if (c.size() < 4) continue;
        p.drawPolyline(c.data(), static_cast<int>(c.size()));
        const QRect r = RegiaoLigacao(i);
        p.fillRect(r.adjusted(3, 3, -3, -3), Qt::yellow);
        p.drawRect(r.adjusted(3, 3, -3, -3));
    }
}

void TOQBArea::MenuLigacao(int ligacao, const QPoint& global) {
    QMenu menu(this);
    QAction* nome = menu.addAction(Q(form_.modelo.NomeLigacao(ligacao)));
    nome->setEnabled(false);
    menu.addSeparator();
    QAction* opcoes = menu.addAction(Q("Op\xE7\xF5"
                                       "es de conex\xE3o"));
    QAction* desliga = menu.addAction(QStringLiteral("Desconectar"));
    QAction* a = menu.exec(global);
    if (a == opcoes) {
        if (form_.OpcoesLigacao(ligacao)) form_.Atualiza();
    } else if (a == desliga) {
        form_.modelo.Desliga(ligacao);
        form_.Atualiza();
    }
}

void TOQBArea::mousePressEvent(QMouseEvent* e) {
    const int i = LigacaoEm(e->position().toPoint());
    if (i >= 0 && (e->button() == Qt::LeftButton || e->button() == Qt::RightButton))
        MenuLigacao(i, e->globalPosition().toPoint());
}

void TOQBArea::dragEnterEvent(QDragEnterEvent* e) {
    if (e->source() == form_.QBTables)
        e->acceptProposedAction();
    else
        e->ignore();
}

void TOQBArea::dragMoveEvent(QDragMoveEvent* e) {
    if (e->source() == form_.QBTables)
        e->acceptProposedAction();
    else
        e->ignore();
}

void TOQBArea::dropEvent(QDropEvent* e) {
    if (e->source() != form_.QBTables || !form_.QBTables->currentItem()) return;
    e->acceptProposedAction();
    form_.InsereTabela(DeQString(form_.QBTables->currentItem()->text()), e->position().toPoint());
}

// ---- grid -------------------------------------------------------------------

TOQBGrid::TOQBGrid(TOQBForm& form, QWidget* pai) : QTableWidget(6, 2, pai), form_(form) {
    setObjectName(QStringLiteral("TOQBGrid"));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    Preenche(form.modelo);
}

void TOQBGrid::Preenche(const ModeloConstrutor& m) {
    const int n = static_cast<int>(m.colunas.size());
    clearContents();
    setColumnCount(1 + std::max(1, n));
    for (int r = 0; r < 6; ++r) {
        auto* t = new QTableWidgetItem(Q(TitulosGrade[r]));
        QFont f = t->font();
        f.setBold(true);
        t->setFont(f);
        setItem(r, 0, t);
    }
    const QFontMetrics fm(font());
    for (int c = 0; c < n; ++c) {
        const ColunaModelo& col = m.colunas[static_cast<std::size_t>(c)];
        const std::string textos[6] = {col.campo, col.tabela, col.mostra, col.ordem, col.funcao, col.agrupa};
        for (int r = 0; r < 6; ++r)
            setItem(r, c + 1, new QTableWidgetItem(Q(textos[r])));
        setColumnWidth(c + 1, std::max(fm.horizontalAdvance(Q(col.campo)), fm.horizontalAdvance(Q(col.tabela))) + 8);
    }
    resizeColumnToContents(0);
}

void TOQBGrid::dragEnterEvent(QDragEnterEvent* e) {
    if (CampoArrastado(e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void TOQBGrid::dragMoveEvent(QDragMoveEvent* e) {
    if (CampoArrastado(e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void TOQBGrid::dropEvent(QDropEvent* e) {
    const auto c = CampoArrastado(e->mimeData());
    if (!c) return;
    e->acceptProposedAction();
    int coluna = columnAt(e->position().toPoint().x());
    const int n = static_cast<int>(form_.modelo.colunas.size());
    coluna = coluna < 1 ? n : std::min(coluna - 1, n);
    form_.modelo.InsereColuna(coluna, c->first, c->second);
    form_.Atualiza();
}

void TOQBGrid::contextMenuEvent(QContextMenuEvent* e) {
    const int linha = rowAt(e->pos().y());
    const int coluna = columnAt(e->pos().x()) - 1;
    ModeloConstrutor& m = form_.modelo;
    if (linha < 0 || coluna < 0 || coluna >= static_cast<int>(m.colunas.size())) return;
    ColunaModelo& c = m.colunas[static_cast<std::size_t>(coluna)];
    if (c.campo == "*" && linha != 0) return;
    QMenu menu(this);
    std::vector<std::pair<QAction*, std::function<void()>>> acoes;
    auto item = [&](const char* texto, std::function<void()> f) { acoes.push_back({menu.addAction(Q(texto)), f}); };
    switch (linha) {
    case 0:
        item("Remove", [&m, coluna] { m.RemoveColuna(coluna); });
        break;
    case 2:
        item("Mostra", [&c] { c.mostra = c.mostra.empty() ? "Show" : ""; });
        break;
    case 3:
        item("Sem Ordena\xE7\xE3o", [&c] { c.ordem.clear(); });
        item("Ascendente", [&c] { c.ordem = "Asc"; });
        item("Descendente", [&c] { c.ordem = "Desc"; });
        break;
    case 4: {
        const char* textos[] = {"Sem fun\xE7\xE3o",
                                "M\xE9"
                                "dia",
                                "Contagem",
                                "Maximo",
                                "Minimo",
                                "Soma"};
        const char* valores[] = {"", "Avg", "Count", "Max", "Min", "Sum"};
        for (int i = 0; i < 6; ++i)
            item(textos[i], [&c, v = valores[i]] { c.funcao = v; });
        break;
    }
    case 5:
        item("Agrupar", [&c] { c.agrupa = c.agrupa.empty() ? "Group" : ""; });
        break;
    default:
        return;
    }
    QAction* a = menu.exec(e->globalPos());
    for (auto& [acao, f] : acoes)
        if (a == acao) {
            f();
            form_.Atualiza();
        }
}

// ---- the builder -------------------------------------------------------------------

TOQBForm::TOQBForm(MotorBD& motor, QWidget* pai) : QDialog(pai), motor_(motor) {
    setObjectName(QStringLiteral("TOQBForm"));
    setWindowTitle(QStringLiteral("Construtor Visual de Consultas SQL []"));
    setSizeGripEnabled(true);
    // A row of tool buttons: each one's visibility is its own.
    auto* barra = new QHBoxLayout;
    barra->setSpacing(2);
    auto botao = [&](const char* nome, const char* texto, const char* dica) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setText(Q(texto));
        if (dica) b->setToolTip(Q(dica));
        barra->addWidget(b);
        return b;
    };
    btnDB = botao("btnDB", "Banco", "Seleciona Banco de Dados");
    btnOpen = botao("btnOpen", "Abre", "Abre Modelo");
    btnSave = botao("btnSave", "Salva", "Salva Modelo");
    btnReload = botao("btnReload", "Restaura", "Restaura Modelo Anterior");
    btnNew = botao("btnNew", "Novo", "Novo Modelo");
    btnResults = botao("btnResults", "Resultados", nullptr);
    btnSaveResults = botao("btnSaveResults", "Salva resultados", nullptr);
    btnPages = botao("btnPages", "Colunas", "Mostra Colunas");
    btnTables = botao("btnTables", "Tabelas", "Mostra Tabelas");
    btnOK = botao("btnOK", "OK", "Transfere SQL para o Dorvan");
    btnCancel = botao("btnCancel", "Cancela", "Cancela");
    // Running and saving results are not offered here.
    btnResults->setVisible(false);
    btnSaveResults->setVisible(false);
    barra->addStretch();
    for (QToolButton* b : {btnPages, btnTables}) {
        b->setCheckable(true);
        b->setChecked(true);
    }

    area = new TOQBArea(*this, nullptr);
    rolagem = new QScrollArea(this);
    rolagem->setWidget(area);
    QBTables = new QListWidget(this);
    QBTables->setObjectName(QStringLiteral("QBTables"));
    QBTables->setDragEnabled(true);
    QBTables->setDragDropMode(QAbstractItemView::DragOnly);
    grade = new TOQBGrid(*this, this);
    paginas = new QTabWidget(this);
    paginas->addTab(grade, QStringLiteral("Colunas"));

    horizontal_ = new QSplitter(Qt::Horizontal, this);
    horizontal_->addWidget(rolagem);
    horizontal_->addWidget(QBTables);
    horizontal_->setStretchFactor(0, 1);
    vertical_ = new QSplitter(Qt::Vertical, this);
    vertical_->addWidget(horizontal_);
    vertical_->addWidget(paginas);
    vertical_->setStretchFactor(0, 1);
    auto* tudo = new QVBoxLayout(this);
    tudo->setContentsMargins(2, 2, 2, 2);
    tudo->addLayout(barra);
    tudo->addWidget(vertical_, 1);

    connect(btnDB, &QToolButton::clicked, this, [this] { btnDBClick(); });
    connect(btnOpen, &QToolButton::clicked, this, [this] { btnOpenClick(); });
    connect(btnSave, &QToolButton::clicked, this, [this] { btnSaveClick(); });
    connect(btnReload, &QToolButton::clicked, this, [this] { btnReloadClick(); });
    connect(btnNew, &QToolButton::clicked, this, [this] { btnNewClick(); });
    connect(btnOK, &QToolButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QToolButton::clicked, this, &QDialog::reject);
    connect(btnPages, &QToolButton::toggled, paginas, &QWidget::setVisible);
    connect(btnTables, &QToolButton::toggled, QBTables, &QWidget::setVisible);

    std::error_code erro;
    btnReload->setVisible(std::filesystem::exists(ArquivoModeloAnterior, erro));

    const QString filtro = QStringLiteral("QBuilder file (*.qb);;All files (*)");
    EscolheArquivoAbrir = [this, filtro] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Carrega Modelo"), QString(), filtro).toStdString();
    };
    EscolheArquivoSalvar = [this, filtro] {
        QFileDialog d(this, QStringLiteral("Salve Modelo"), QString(), filtro);
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setDefaultSuffix(QStringLiteral("qb"));
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::string();
        return d.selectedFiles().first().toStdString();
    };
    EditaLigacao = [this](LigacaoModelo& l) {
        return DialogoLigacao(l.tabela1, modelo.NomeCampo(l.tabela1, l.campo1), l.tabela2,
                              modelo.NomeCampo(l.tabela2, l.campo2), l, this);
    };
    DialogoBanco = [this](std::string& banco, bool& sistema) {
        QDialog d(this);
        d.setObjectName(QStringLiteral("TOQBDBForm"));
        d.setWindowTitle(QStringLiteral("Selecione Banco de dados"));
        auto* aliases = new QComboBox(&d);
        for (const auto& a : motor_.NomesAliases())
            aliases->addItem(Q(a));
        aliases->setCurrentText(Q(banco));
        auto* ckSistema = new QCheckBox(QStringLiteral("Incluir tabelas de sistema (SQL-databases)"), &d);
        ckSistema->setChecked(sistema);
        const bool tem = aliases->count() > 0;
        aliases->setEnabled(tem);
        ckSistema->setEnabled(tem);
        auto* pasta = new QLineEdit(&d);
        auto* procura = new QPushButton(QStringLiteral("..."), &d);
        connect(procura, &QPushButton::clicked, &d, [pasta] {
            if (auto p = EscolheDiretorio("Selecione Diret\xF3rio", DeQString(pasta->text()), "*.db;*.dbf;*.txt"))
                pasta->setText(Q(*p));
        });
        auto* linhaPasta = new QHBoxLayout;
        linhaPasta->addWidget(new QLabel(QStringLiteral("Ou Diretorio :"), &d));
        linhaPasta->addWidget(pasta, 1);
        linhaPasta->addWidget(procura);
        auto* botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
        connect(botoes, &QDialogButtonBox::accepted, &d, &QDialog::accept);
        connect(botoes, &QDialogButtonBox::rejected, &d, &QDialog::reject);
        auto* v = new QVBoxLayout(&d);
        v->addWidget(aliases);
        v->addWidget(ckSistema);
        v->addLayout(linhaPasta);
        v->addWidget(botoes);
        if (d.exec() != QDialog::Accepted) return false;
        sistema = ckSistema->isChecked();
        const std::string p = DeQString(pasta->text());
        if (p.empty()) {
            banco = DeQString(aliases->currentText());
            return true;
        }
        // A folder stands as a standard alias of its own for this session.
        try {
            if (!motor_.AliasExiste(p)) motor_.DefineAlias({p, DriverPadrao, p, "", 0, "", ""});
        } catch (const std::exception&) {
            MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
            return false;
        }
        banco = p;
        return true;
    };
    resize(760, 560);
}

TOQBForm::~TOQBForm() {
    if (g_aberto == this) g_aberto = nullptr;
}

TOQBTable* TOQBForm::Painel(const std::string& tabela) const {
    for (TOQBTable* p : paineis_)
        if (p->Tabela() == tabela) return p;
    return nullptr;
}

void TOQBForm::DefineBanco(const std::string& banco) {
    modelo.banco = banco;
    QBTables->clear();
    setWindowTitle(Q("Construtor Visual de Consultas SQL [" + banco + "]"));
    if (banco.empty()) return;
    try {
        const bool servidor = motor_.EhServidorSQL(banco);
        for (const auto& t : motor_.NomesTabelas(banco, {}, !servidor, modelo.tabelasSistema))
            QBTables->addItem(Q(t));
    } catch (const std::exception&) {
        // A database that cannot be read just lists no tables.
    }
}

bool TOQBForm::EscolheBanco() {
    std::string banco = modelo.banco;
    bool sistema = modelo.tabelasSistema;
    if (!DialogoBanco || !DialogoBanco(banco, sistema)) return false;
    modelo.tabelasSistema = sistema;
    DefineBanco(banco);
    return true;
}

std::optional<std::vector<std::string>> TOQBForm::LeCampos(const std::string& tabela, bool avisa) {
    try {
        return motor_.NomesCampos(modelo.banco, tabela);
    } catch (const std::exception&) {
        if (avisa) MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
        return std::nullopt;
    }
}

bool TOQBForm::InsereTabela(const std::string& nome, const QPoint& posicao) {
    if (modelo.AchaTabela(nome) >= 0) {
        MensagensAtuais().Mostra("Esta tabela j\xE1 foi inserida!");
        return false;
    }
    // A table whose fields cannot be read is not placed at all.
    const auto campos = LeCampos(nome, true);
    if (!campos) return false;
    if (!modelo.InsereTabela(nome, *campos, posicao.y(), posicao.x())) return false;
    Atualiza();
    return true;
}

void TOQBForm::Atualiza() {
    // Panels of tables gone are deleted; new tables get theirs.
    for (auto it = paineis_.begin(); it != paineis_.end();) {
        if (modelo.AchaTabela((*it)->Tabela()) < 0) {
            (*it)->hide();
            (*it)->deleteLater();
            it = paineis_.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& t : modelo.tabelas) {
        TOQBTable* p = Painel(t.nome);
        if (!p) {
            p = new TOQBTable(*this, t, area);
            paineis_.push_back(p);
            p->show();
        }
        p->move(t.esquerda, t.topo);
        TOQBLbx* l = p->Lista();
        const QSignalBlocker bloqueio(l);
        for (int i = 0; i < l->count() && i < static_cast<int>(t.marcados.size()); ++i) {
            QListWidgetItem* item = l->item(i);
            item->setCheckState(t.marcados[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
            QFont f = item->font();
            f.setBold(modelo.CampoLigado(t.nome, i));
            item->setFont(f);
        }
    }
    grade->Preenche(modelo);
    area->update();
}

bool TOQBForm::OpcoesLigacao(int ligacao) {
    if (ligacao < 0 || ligacao >= static_cast<int>(modelo.ligacoes.size()) || !EditaLigacao) return false;
    LigacaoModelo l = modelo.ligacoes[static_cast<std::size_t>(ligacao)];
    if (!EditaLigacao(l)) return false;
    modelo.ligacoes[static_cast<std::size_t>(ligacao)] = l;
    return true;
}

void TOQBForm::btnDBClick() {
    btnNewClick();
    EscolheBanco();
}

void TOQBForm::btnNewClick() {
    modelo.Limpa();
    LinhasSQL.clear();
    Atualiza();
}

void TOQBForm::GuardaJanela() {
    modelo.maximizada = isMaximized();
    const QRect g = geometry();
    modelo.topo = g.top();
    modelo.esquerda = g.left();
    modelo.altura = g.height();
    modelo.largura = g.width();
    modelo.tabelasVisiveis = !QBTables->isHidden();
    modelo.larguraTabelas = QBTables->width();
    modelo.colunasVisiveis = !paginas->isHidden();
    modelo.alturaColunas = paginas->height();
}

void TOQBForm::AplicaJanela() {
    if (modelo.maximizada)
        setWindowState(windowState() | Qt::WindowMaximized);
    else if (modelo.largura > 0 && modelo.altura > 0)
        setGeometry(modelo.esquerda, modelo.topo, modelo.largura, modelo.altura);
    btnTables->setChecked(modelo.tabelasVisiveis);
    btnPages->setChecked(modelo.colunasVisiveis);
    QBTables->setVisible(modelo.tabelasVisiveis);
    paginas->setVisible(modelo.colunasVisiveis);
    horizontal_->setSizes({std::max(100, width() - modelo.larguraTabelas), modelo.larguraTabelas});
    vertical_->setSizes({std::max(100, height() - modelo.alturaColunas), modelo.alturaColunas});
}

void TOQBForm::SalvaModelo(const std::string& arquivo) {
    GuardaJanela();
    GravaModelo(arquivo, modelo);
}

void TOQBForm::AbreModelo(const std::string& arquivo) {
    const auto lido = LeModelo(
        arquivo, [this](const std::string& banco, const std::string& t) -> std::optional<std::vector<std::string>> {
            try {
                return motor_.NomesCampos(banco, t);
            } catch (const std::exception&) {
                return std::nullopt;
            }
        });
    if (!lido) return;
    // Every panel goes: a table of the same name may have other fields now.
    for (TOQBTable* p : paineis_) {
        p->hide();
        p->deleteLater();
    }
    paineis_.clear();
    modelo = *lido;
    DefineBanco(modelo.banco);
    AplicaJanela();
    Atualiza();
}

void TOQBForm::btnOpenClick() {
    const std::string a = EscolheArquivoAbrir ? EscolheArquivoAbrir() : std::string();
    if (a.empty()) return;
    try {
        AbreModelo(a);
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
    }
}

void TOQBForm::btnSaveClick() {
    const std::string a = EscolheArquivoSalvar ? EscolheArquivoSalvar() : std::string();
    if (a.empty()) return;
    try {
        SalvaModelo(a);
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
    }
}

void TOQBForm::btnReloadClick() {
    try {
        AbreModelo(ArquivoModeloAnterior);
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
    }
}

void TOQBForm::btnOKClick() {
    if (auto sql = GeraSQL(modelo)) LinhasSQL = *sql;
    try {
        SalvaModelo(ArquivoModeloAnterior);
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
    }
    accept();
}

void TOQBForm::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    area->setMinimumSize(std::max(1200, rolagem->viewport()->width()), std::max(900, rolagem->viewport()->height()));
}

std::optional<std::vector<std::string>> ExecutaConstrutor(MotorBD& motor, const std::string& alias, QWidget* pai) {
    if (g_aberto) return std::nullopt;
    TOQBForm form(motor, pai);
    g_aberto = &form;
    if (!alias.empty())
        form.DefineBanco(alias);
    else
        form.EscolheBanco();
    const bool ok = form.exec() == QDialog::Accepted;
    g_aberto = nullptr;
    if (!ok || form.LinhasSQL.empty()) return std::nullopt;
    return form.LinhasSQL;
}

} // namespace dorvan
