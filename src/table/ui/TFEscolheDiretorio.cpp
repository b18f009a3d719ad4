#include "table/ui/TFEscolheDiretorio.h"

#include "platform/Texto1252.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace dorvan {

TFEscolheDiretorio* FEscolheDiretorio = nullptr;

TFEscolheDiretorio::TFEscolheDiretorio(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("FEscolheDiretorio"));
    setWindowTitle(ParaQString("Escolha um diret\xF3rio"));
    Label1 = new QLabel(this);
    Label1->setWordWrap(true);
    edNomeDir = new QLineEdit(this);
    edNomeDir->setObjectName(QStringLiteral("edNomeDir"));

    pastas_ = new QFileSystemModel(this);
    pastas_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    pastas_->setRootPath(QDir::rootPath());
    DirectoryListBox1 = new QTreeView(this);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setModel(pastas_);
    for (int c = 1; c < pastas_->columnCount(); ++c) DirectoryListBox1->hideColumn(c);
    DirectoryListBox1->header()->hide();

    arquivos_ = new QFileSystemModel(this);
    arquivos_->setFilter(QDir::Files);
    arquivos_->setNameFilterDisables(false);
    FileListBox1 = new QListView(this);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setModel(arquivos_);

    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    QStringList drives{QDir::rootPath()};
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && !drives.contains(v.rootPath())) drives << v.rootPath();
    drives.sort();
    DriveComboBox1->addItems(drives);

    bOK = new QPushButton(QStringLiteral("OK"), this);
    bCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bOK->setDefault(true);
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(DriveComboBox1, &QComboBox::activated, this, &TFEscolheDiretorio::EscolheDrive);
    connect(DirectoryListBox1, &QTreeView::clicked, this,
            [this](const QModelIndex& i) { EscolheDiretorioAtual(pastas_->filePath(i)); });
    connect(DirectoryListBox1, &QTreeView::activated, this,
            [this](const QModelIndex& i) { EscolheDiretorioAtual(pastas_->filePath(i)); });
    // Moving through the tree with the keyboard chooses too.
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& i) {
                if (i.isValid()) EscolheDiretorioAtual(pastas_->filePath(i));
            });

    auto* listas = new QHBoxLayout;
    auto* esquerda = new QVBoxLayout;
    esquerda->addWidget(DirectoryListBox1, 1);
    esquerda->addWidget(DriveComboBox1);
    listas->addLayout(esquerda, 1);
    listas->addWidget(FileListBox1, 1);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(bOK);
    botoes->addWidget(bCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(edNomeDir);
    layout->addLayout(listas, 1);
    layout->addLayout(botoes);
    resize(520, 420);
}

void TFEscolheDiretorio::EscolheDrive(int i) {
    if (i < 0 || i >= DriveComboBox1->count()) return;
    QString raiz = DriveComboBox1->itemText(i);
    DirectoryListBox1->setRootIndex(pastas_->index(raiz));
    EscolheDiretorioAtual(raiz);
}

void TFEscolheDiretorio::EscolheDiretorioAtual(const QString& pasta) {
    QModelIndex i = pastas_->index(pasta);
    if (i.isValid() && DirectoryListBox1->currentIndex() != i) {
        DirectoryListBox1->setCurrentIndex(i);
        DirectoryListBox1->scrollTo(i);
    }
    FileListBox1->setRootIndex(arquivos_->setRootPath(pasta));
    edNomeDir->setText(QDir::toNativeSeparators(pasta));
}

void TFEscolheDiretorio::DefineMascara(const std::string& mascara) {
    QStringList filtros;
    for (const QString& m : ParaQString(mascara).split(u';', Qt::SkipEmptyParts)) filtros << m.trimmed();
    arquivos_->setNameFilters(filtros);
}

std::optional<std::string> EscolheDiretorio(const std::string& pergunta, const std::string& inicial,
                                            const std::string& mascara) {
    std::unique_ptr<TFEscolheDiretorio> local;
    TFEscolheDiretorio* j = FEscolheDiretorio;
    if (!j) {
        local = std::make_unique<TFEscolheDiretorio>(QApplication::activeWindow());
        j = local.get();
    }
    j->Label1->setText(ParaQString(pergunta));
    j->DefineMascara(mascara);
    QString inicio = QString::fromStdString(inicial);
    if (inicio.isEmpty() || !QDir(inicio).exists()) inicio = QDir::currentPath();
    j->EscolheDiretorioAtual(QDir(inicio).absolutePath());
    if (j->exec() != QDialog::Accepted) return std::nullopt;
    std::string r = j->edNomeDir->text().trimmed().toStdString();
    if (r.empty()) return std::nullopt;
    return r;
}

} // namespace dorvan
