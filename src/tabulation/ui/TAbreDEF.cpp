#include "tabulation/ui/TAbreDEF.h"

#include "platform/Arquivos.h"
#include "platform/Texto1252.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <filesystem>

namespace dorvan {

std::string TituloDoDEF(const std::string& arquivo) {
    std::string texto;
    try {
        texto = LeArquivoInteiro(arquivo);
    } catch (const std::exception&) {
        return {};
    }
    std::string linha = texto.substr(0, texto.find_first_of("\r\n"));
    if (!linha.empty() && linha[0] == ';') linha.erase(0, 1);
    return linha;
}

TAbreDEF::TAbreDEF(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("AbreDEF"));
    setWindowTitle(QStringLiteral("Executa Tabula\u00E7\u00E3o - Abre arquivo de defini\u00E7\u00E3o"));
    DriveComboBox1 = new QComboBox(this);
    for (const QFileInfo& d : QDir::drives()) DriveComboBox1->addItem(d.absoluteFilePath());
    pastas_ = new QFileSystemModel(this);
    pastas_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    pastas_->setRootPath(QDir::rootPath());
    DirectoryListBox1 = new QTreeView(this);
    DirectoryListBox1->setModel(pastas_);
    for (int c = 1; c < pastas_->columnCount(); ++c) DirectoryListBox1->hideColumn(c);
    DirectoryListBox1->header()->hide();
    FileListBox1 = new QListWidget(this);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->installEventFilter(this);
    FileListBox1->viewport()->installEventFilter(this);
    TituloDEF = new QLabel(this);
    TituloDEF->setObjectName(QStringLiteral("TituloDEF"));
    bOK = new QPushButton(QStringLiteral("&Abre DEF"), this);
    bSair = new QPushButton(QStringLiteral("&Cancela"), this);
    bOK->setDefault(true);

    // The folders are listed (and sorted) a level at a time after the dialog opens:
    // each listing above the chosen folder moves it down, so the view follows it
    // until the user takes the tree in hand.
    auto segue = [this] {
        if (segue_) QTimer::singleShot(0, this, &TAbreDEF::MostraPastaEscolhida);
    };
    connect(pastas_, &QFileSystemModel::directoryLoaded, this, segue);
    connect(pastas_, &QFileSystemModel::rowsInserted, this, segue);
    connect(pastas_, &QFileSystemModel::layoutChanged, this, segue);
    for (QObject* o : {static_cast<QObject*>(DirectoryListBox1), static_cast<QObject*>(DirectoryListBox1->viewport()),
                       static_cast<QObject*>(DirectoryListBox1->verticalScrollBar())})
        o->installEventFilter(this);
    connect(DriveComboBox1, &QComboBox::currentIndexChanged, this, &TAbreDEF::DriveComboBox1Change);
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TAbreDEF::DirectoryListBox1Change);
    connect(FileListBox1, &QListWidget::currentRowChanged, this, &TAbreDEF::FileListBox1Click);
    connect(FileListBox1, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bSair, &QPushButton::clicked, this, &QDialog::reject);

    auto* esquerda = new QVBoxLayout;
    esquerda->addWidget(new QLabel(QStringLiteral("Drives:"), this));
    esquerda->addWidget(DriveComboBox1);
    esquerda->addWidget(new QLabel(QStringLiteral("Diret\u00F3rios:"), this));
    esquerda->addWidget(DirectoryListBox1, 1);
    auto* direita = new QVBoxLayout;
    direita->addWidget(new QLabel(QStringLiteral("Arquivos de defini\u00E7\u00E3o:"), this));
    direita->addWidget(FileListBox1, 1);
    auto* listas = new QHBoxLayout;
    listas->addLayout(esquerda, 1);
    listas->addLayout(direita, 1);
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(TituloDEF, 1);
    botoes->addWidget(bOK);
    botoes->addWidget(bSair);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(listas, 1);
    layout->addLayout(botoes);
    resize(560, 360);
    DefinePasta(QDir::currentPath().toStdString());
}

void TAbreDEF::DefinePasta(const std::string& pasta) {
    std::string p = pasta.empty() ? QDir::currentPath().toStdString() : BarrasNormais(pasta);
    pasta_ = p;
    QModelIndex i = pastas_->index(QString::fromStdString(p));
    if (i.isValid()) {
        segue_ = true;
        DirectoryListBox1->setCurrentIndex(i);
        MostraPastaEscolhida();
    }
    FileListBox1Change();
}

void TAbreDEF::MostraPastaEscolhida() {
    const QModelIndex i = DirectoryListBox1->currentIndex();
    if (i.isValid() && pastas_->filePath(i) == QDir::cleanPath(QString::fromStdString(pasta_)))
        DirectoryListBox1->scrollTo(i);
}

void TAbreDEF::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    MostraPastaEscolhida();
}

void TAbreDEF::DriveComboBox1Change() { DefinePasta(DriveComboBox1->currentText().toStdString()); }

void TAbreDEF::DirectoryListBox1Change() {
    QString p = pastas_->filePath(DirectoryListBox1->currentIndex());
    if (p.isEmpty() || p.toStdString() == pasta_) return;
    pasta_ = p.toStdString();
    FileListBox1Change();
}

void TAbreDEF::FileListBox1Change() {
    FileListBox1->clear();
    for (const auto& n : ListaArquivos(pasta_, "*.def")) FileListBox1->addItem(QString::fromStdString(n));
    if (FileListBox1->count() == 0) TituloDEF->clear();
}

void TAbreDEF::FileListBox1Click() {
    if (FileListBox1->count() == 0 || FileListBox1->currentRow() < 0) return;
    TituloDEF->setText(ParaQString(TituloDoDEF(ArquivoEscolhido())));
}

std::string TAbreDEF::ArquivoEscolhido() const {
    auto* item = FileListBox1->currentItem();
    if (!item) return {};
    std::string p = pasta_;
    if (!p.empty() && p.back() != '/') p += '/';
    return p + item->text().toStdString();
}

void TAbreDEF::FileListBox1MouseDown() {
    if (FileListBox1->count() == 0) return;
    if (FileListBox1->currentRow() < 0) FileListBox1->setCurrentRow(0);
    bool ok = false;
    QString nome = QInputDialog::getText(this, QStringLiteral("Escolha arquivo"), QStringLiteral("Entre"),
                                         QLineEdit::Normal, FileListBox1->currentItem()->text(), &ok);
    if (!ok) return;
    for (int i = 0; i < FileListBox1->count(); ++i)
        if (FileListBox1->item(i)->text().compare(nome, Qt::CaseInsensitive) == 0) {
            FileListBox1->setCurrentRow(i);
            FileListBox1Click();
            return;
        }
}

bool TAbreDEF::eventFilter(QObject* objeto, QEvent* evento) {
    if ((objeto == DirectoryListBox1 || objeto == DirectoryListBox1->viewport() ||
         objeto == DirectoryListBox1->verticalScrollBar()) &&
        (evento->type() == QEvent::MouseButtonPress || evento->type() == QEvent::KeyPress ||
         evento->type() == QEvent::Wheel))
        segue_ = false;
    if (objeto == FileListBox1 && evento->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(evento);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            accept();
            return true;
        }
        if (k->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    if (objeto == FileListBox1->viewport() && evento->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(evento)->button() == Qt::RightButton) {
        FileListBox1MouseDown();
        return true;
    }
    return QDialog::eventFilter(objeto, evento);
}

} // namespace dorvan
