#include "data/ui/TfComprime.h"

#include "platform/Texto1252.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace dorvan {

TfComprime* fComprime = nullptr;

namespace {

QStringList Drives() {
    QStringList drives{QDir::rootPath()};
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && !drives.contains(v.rootPath())) drives << v.rootPath();
    drives.sort();
    return drives;
}

// The mount point that holds pasta: the longest drive path it begins with.
int DriveDe(QComboBox* drive, const QString& pasta) {
    int melhor = 0;
    qsizetype tamanho = -1;
    for (int i = 0; i < drive->count(); ++i) {
        QString d = drive->itemText(i);
        QString comBarra = d.endsWith(u'/') ? d : d + u'/';
        if ((pasta == d || pasta.startsWith(comBarra)) && d.size() > tamanho) {
            melhor = i;
            tamanho = d.size();
        }
    }
    return melhor;
}

} // namespace

// While a walk runs: every button off but "&Aborta", shown and focused; the
// folders cannot change. All comes back however the walk ends.
class TfComprime::Travada {
public:
    explicit Travada(TfComprime& j) : j_(j) {
        for (QWidget* w : Controles())
            w->setEnabled(false);
        j_.bAborta->setEnabled(true);
        j_.bAborta->show();
        j_.bAborta->setFocus();
    }
    ~Travada() {
        for (QWidget* w : Controles())
            w->setEnabled(true);
        j_.bAborta->hide();
    }
    Travada(const Travada&) = delete;
    Travada& operator=(const Travada&) = delete;

private:
    std::vector<QWidget*> Controles() const {
        return {j_.bComprime, j_.bRemove, j_.bExpande, j_.bTestaCRC, j_.bSair,   j_.DBFDrive,
                j_.DBFDir,    j_.DBFList, j_.DBCList,  j_.DBCDir,    j_.DBCDrive};
    }
    TfComprime& j_;
};

TfComprime::TfComprime(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("fComprime"));
    setWindowTitle(QStringLiteral("Comprime e Expande DBFs"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto nomeia = [](QWidget* w, const char* nome) {
        w->setObjectName(QString::fromLatin1(nome));
        return w;
    };
    Label1 = new QLabel(QStringLiteral("Arquivos expandidos"), this);
    Label2 = new QLabel(QStringLiteral("Arquivos comprimidos"), this);
    nomeia(Label1, "Label1");
    nomeia(Label2, "Label2");

    pastas_ = new QFileSystemModel(this);
    pastas_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    pastas_->setRootPath(QDir::rootPath());
    auto arvore = [this](const char* nome) {
        auto* t = new QTreeView(this);
        t->setObjectName(QString::fromLatin1(nome));
        t->setModel(pastas_);
        for (int c = 1; c < pastas_->columnCount(); ++c)
            t->hideColumn(c);
        t->header()->hide();
        return t;
    };
    auto drive = [this](const char* nome) {
        auto* c = new QComboBox(this);
        c->setObjectName(QString::fromLatin1(nome));
        c->addItems(Drives());
        return c;
    };
    auto lista = [this](const char* nome) {
        auto* l = new QListWidget(this);
        l->setObjectName(QString::fromLatin1(nome));
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
        return l;
    };
    auto botao = [this](const char* nome, const QString& texto) {
        auto* b = new QPushButton(texto, this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setAutoDefault(false);
        return b;
    };
    DBFDrive = drive("DBFDrive");
    DBFDir = arvore("DBFDir");
    DBFList = lista("DBFList");
    DBCList = lista("DBCList");
    DBCDir = arvore("DBCDir");
    DBCDrive = drive("DBCDrive");
    bComprime = botao("bComprime", QStringLiteral("&Compr"));
    bRemove = botao("bRemove", QStringLiteral("Rem &DBF"));
    bExpande = botao("bExpande", QStringLiteral("&Expande"));
    bTestaCRC = botao("bTestaCRC", QStringLiteral("&Testa CRC"));
    bAborta = botao("bAborta", QStringLiteral("&Aborta"));
    bAborta->hide();
    bSair = botao("bSair", QStringLiteral("Sai&r"));
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setRange(0, 100);
    Gauge1->hide();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);

    auto* esquerda = new QVBoxLayout;
    esquerda->addWidget(Label1);
    esquerda->addWidget(DBFDrive);
    esquerda->addWidget(DBFDir, 1);
    esquerda->addWidget(DBFList, 1);
    auto* meio = new QVBoxLayout;
    meio->addStretch();
    for (QPushButton* b : {bComprime, bRemove, bExpande, bTestaCRC})
        meio->addWidget(b);
    meio->addStretch();
    auto* direita = new QVBoxLayout;
    direita->addWidget(Label2);
    direita->addWidget(DBCList, 1);
    direita->addWidget(DBCDir, 1);
    direita->addWidget(DBCDrive);
    auto* colunas = new QHBoxLayout;
    colunas->addLayout(esquerda, 1);
    colunas->addLayout(meio);
    colunas->addLayout(direita, 1);
    auto* baixo = new QHBoxLayout;
    baixo->addWidget(Label3, 1);
    baixo->addWidget(Gauge1, 1);
    baixo->addWidget(bAborta);
    baixo->addWidget(bSair);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(colunas, 1);
    layout->addLayout(baixo);
    setFixedSize(560, 440);

    progresso_ =
        std::make_unique<ProgressoJanela>([this](std::uint64_t feito, std::uint64_t total, const std::string&) {
            feito_ = feito;
            total_ = total;
        });
    lote_.ProcessaEventos = [] { QCoreApplication::processEvents(); };
    lote_.ListasMudaram = [this] { MostraListas(); };
    lote_.MostraArquivo = [this](const std::string& t) { MostraArquivo(t); };

    connect(Timer1, &QTimer::timeout, this, [this] {
        if (total_ > 0) Gauge1->setValue(static_cast<int>(feito_ * 100 / total_));
    });
    connect(DBFDrive, &QComboBox::activated, this, [this] { EscolheDrive(DBFDrive, DBFDir, true); });
    connect(DBCDrive, &QComboBox::activated, this, [this] { EscolheDrive(DBCDrive, DBCDir, false); });
    connect(DBFDir, &QTreeView::clicked, this,
            [this](const QModelIndex& i) { EscolhePasta(DBFDir, pastas_->filePath(i), true); });
    connect(DBCDir, &QTreeView::clicked, this,
            [this](const QModelIndex& i) { EscolhePasta(DBCDir, pastas_->filePath(i), false); });
    connect(DBFDir, &QTreeView::activated, this,
            [this](const QModelIndex& i) { EscolhePasta(DBFDir, pastas_->filePath(i), true); });
    connect(DBCDir, &QTreeView::activated, this,
            [this](const QModelIndex& i) { EscolhePasta(DBCDir, pastas_->filePath(i), false); });
    connect(DBFList, &QListWidget::itemSelectionChanged, this, [this] { PegaMarcas(); });
    connect(DBCList, &QListWidget::itemSelectionChanged, this, [this] { PegaMarcas(); });
    // The name comes from the list behind the row: a file name that is not valid
    // text would not survive the trip through the shown caption.
    connect(DBFList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* i) {
        const auto linha = static_cast<std::size_t>(DBFList->row(i));
        if (!lote_.Ocupado() && linha < lote_.ListaDBF.size()) Comprime(std::string(lote_.ListaDBF[linha].nome));
    });
    connect(DBCList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* i) {
        const auto linha = static_cast<std::size_t>(DBCList->row(i));
        if (!lote_.Ocupado() && linha < lote_.ListaDBC.size()) Expande(std::string(lote_.ListaDBC[linha].nome));
    });
    connect(bComprime, &QPushButton::clicked, this, [this] { ComandoLote(&CompressaoLote::ComprimeMarcados); });
    connect(bExpande, &QPushButton::clicked, this, [this] { ComandoLote(&CompressaoLote::ExpandeMarcados); });
    connect(bTestaCRC, &QPushButton::clicked, this, [this] { ComandoLote(&CompressaoLote::TestaCRC); });
    connect(bRemove, &QPushButton::clicked, this, [this] {
        CursorOcupado ocupado;
        lote_.RemoveDBF(*progresso_);
    });
    connect(bAborta, &QPushButton::clicked, this, [this] {
        lote_.PedeAborto();
        bAborta->setEnabled(false);
    });
    connect(bSair, &QPushButton::clicked, this, &QDialog::accept);

    const QString atual = QDir::currentPath();
    DefineDiretorios(atual.toStdString(), atual.toStdString());
}

TfComprime::~TfComprime() {
    if (fComprime == this) fComprime = nullptr;
}

void TfComprime::showEvent(QShowEvent* e) {
    lote_.LimpaAborto();
    // The folders may have changed while the window was away.
    if (!lote_.Ocupado()) DefineDiretorios(lote_.DirDBF(), lote_.DirDBC());
    if (const QScreen* tela = screen()) move(tela->availableGeometry().center() - rect().center());
    QDialog::showEvent(e);
}

void TfComprime::DefineDiretorios(const std::string& dirDBF, const std::string& dirDBC) {
    EscolhePasta(DBFDir, QString::fromStdString(dirDBF), true);
    EscolhePasta(DBCDir, QString::fromStdString(dirDBC), false);
}

bool TfComprime::Comprime(const std::string& nome) {
    CursorOcupado ocupado;
    return lote_.Comprime(nome, *progresso_);
}

bool TfComprime::Expande(const std::string& nome) {
    CursorOcupado ocupado;
    return lote_.Expande(nome, *progresso_);
}

void TfComprime::ComandoLote(void (CompressaoLote::*comando)(Progresso&)) {
    if (lote_.Ocupado()) return;
    PegaMarcas();
    Travada travada(*this);
    CursorOcupado ocupado;
    (lote_.*comando)(*progresso_);
}

void TfComprime::EscolheDrive(QComboBox* drive, QTreeView* arvore, bool ladoDBF) {
    if (drive->currentIndex() < 0) return;
    EscolhePasta(arvore, drive->currentText(), ladoDBF);
}

void TfComprime::EscolhePasta(QTreeView* arvore, const QString& pasta, bool ladoDBF) {
    const QString absoluta = QDir(pasta).absolutePath();
    if (!(ladoDBF ? lote_.MudaDirDBF(absoluta.toStdString()) : lote_.MudaDirDBC(absoluta.toStdString()))) return;
    QComboBox* drive = ladoDBF ? DBFDrive : DBCDrive;
    const int d = DriveDe(drive, absoluta);
    drive->setCurrentIndex(d);
    arvore->setRootIndex(pastas_->index(drive->itemText(d)));
    const QModelIndex i = pastas_->index(absoluta);
    if (i.isValid() && arvore->currentIndex() != i) {
        arvore->setCurrentIndex(i);
        arvore->scrollTo(i);
    }
}

void TfComprime::MostraListas() {
    mostrandoListas_ = true;
    auto enche = [](QListWidget* w, const std::vector<EntradaLista>& l) {
        w->clear();
        for (const auto& e : l) {
            auto* item = new QListWidgetItem(QString::fromStdString(e.nome), w);
            item->setSelected(e.marcado);
        }
    };
    enche(DBFList, lote_.ListaDBF);
    enche(DBCList, lote_.ListaDBC);
    mostrandoListas_ = false;
}

void TfComprime::PegaMarcas() {
    if (mostrandoListas_) return;
    auto pega = [](QListWidget* w, std::vector<EntradaLista>& l) {
        if (static_cast<std::size_t>(w->count()) != l.size()) return;
        for (int i = 0; i < w->count(); ++i)
            l[static_cast<std::size_t>(i)].marcado = w->item(i)->isSelected();
    };
    pega(DBFList, lote_.ListaDBF);
    pega(DBCList, lote_.ListaDBC);
}

void TfComprime::MostraArquivo(const std::string& texto) {
    feito_ = total_ = 0;
    if (!texto.empty()) {
        Label3->setText(ParaQString(texto));
        Gauge1->setValue(0);
        Gauge1->show();
        Timer1->start();
    } else {
        Gauge1->hide();
        Label3->clear();
        Timer1->stop();
    }
    repaint();
}

} // namespace dorvan
