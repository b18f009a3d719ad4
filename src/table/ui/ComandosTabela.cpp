#include "table/ui/ComandosTabela.h"

#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"
#include "table/EstadoMenus.h"
#include "table/Estatisticas.h"
#include "table/Formula.h"
#include "table/OperacoesColunas.h"
#include "table/ui/EscolhaTabela.h"
#include "table/ui/GradeFixa.h"
#include "table/ui/TForm1.h"
#include "table/ui/TInfo.h"
#include "table/ui/TfIndic.h"
#include "table/ui/TfTipoTot.h"

#include <QAction>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>

#include <functional>

namespace dorvan {

namespace {

using Colunas = std::vector<std::int32_t>;
using DeDuasColunas = bool (*)(TabelaResultados&, std::int32_t, std::int32_t);
using DeUmaColuna = bool (*)(TabelaResultados&, std::int32_t);
using DeMarcadas = bool (*)(TabelaResultados&, const Colunas&);

void MostraInfo(TForm1& f, const char* titulo, const std::vector<std::string>& linhas) {
    TInfo& info = JanelaInfo(f);
    info.Limpa();
    info.setWindowTitle(ParaQString(titulo));
    for (const auto& l : linhas)
        info.AcrescentaLinha(l);
    // One viewer serves every caller: a modality left from an earlier show goes.
    MostraNaFrente(info);
}

// The grid shows the new rows from the top.
void MostraDoTopo(TForm1& f) {
    f.MostraTabela();
    f.StringGrid1->scrollToTop();
}

void LigaOperacoes(TForm1& f) {
    TForm1* j = &f;
    auto define = [j](const char* manipulador, std::function<void()> comando) {
        j->DefineComando(QString::fromLatin1(manipulador), std::move(comando));
    };
    auto duas = [j](const char* primeira, const char* segunda, DeDuasColunas op) {
        return [j, primeira, segunda, op] {
            TabelaResultados& t = j->Tabela();
            const std::int32_t a = EscolheColuna(t, primeira);
            if (a == 0) return;
            const std::int32_t b = EscolheColuna(t, segunda);
            if (b == 0) return;
            if (op(t, a, b)) j->MostraNovaColuna();
        };
    };
    auto uma = [j](const char* pergunta, DeUmaColuna op) {
        return [j, pergunta, op] {
            TabelaResultados& t = j->Tabela();
            const std::int32_t a = EscolheColuna(t, pergunta);
            if (a != 0 && op(t, a)) j->MostraNovaColuna();
        };
    };
    auto marcadas = [j](const char* pergunta, DeMarcadas op) {
        return [j, pergunta, op] {
            TabelaResultados& t = j->Tabela();
            const Colunas c = MarcaColunas(t, pergunta);
            if (!c.empty() && op(t, c)) j->MostraNovaColuna();
        };
    };

    define("Indicador1Click", [j] {
        if (Indicador1Click(j->Tabela(), j)) j->MostraNovaColuna();
    });
    define("Divide1Click", duas("Numerador", "Denominador", Divide));
    define("Multiplica1Click", duas("Fator 1", "Fator 2", Multiplica));
    define("Subtrai1Click", duas("Minuendo", "Subtraendo", Subtrai));
    define("Soma1Click", marcadas("Colunas a serem somadas", SomaColunas));
    define("Minimo1Click", marcadas("Colunas a serem comparadas", MinimoColunas));
    define("Maximo1Click", marcadas("Colunas a serem comparadas", MaximoColunas));
    define("percentagem1Click", uma("Percentagem", Percentagem));
    define("Acumula1Click", uma("Acumular", Acumula));
    define("Inteiro1Click", uma(" Inteiro ", Inteiro));
    define("Absoluto1Click", uma(" Absoluto ", Absoluto));
    define("Seqncia1Click", [j] {
        if (Sequencia(j->Tabela())) j->MostraNovaColuna();
    });
    define("Fator1Click", [j] {
        TabelaResultados& t = j->Tabela();
        const std::int32_t a = EscolheColuna(t, "Multiplicar");
        // The column changed in place: its title and width are shown again.
        if (a != 0 && MultiplicaPorFator(t, a)) j->MostraTabela();
    });
    define("Normalizar1Click", [j] {
        TabelaResultados& t = j->Tabela();
        const Colunas c = MarcaColunas(t, "Colunas a normalizar");
        if (!c.empty() && Normaliza(t, c) > 0) j->MostraTabela();
    });
    define("Total1Click", [j] {
        TabelaResultados& t = j->Tabela();
        const Colunas c = MarcaColunas(t, "Recalcular total de");
        if (c.empty()) return;
        RecalculaTotais(t, c);
        j->MostraTabela();
    });
    define("NovaColunaClick", [j] {
        const auto resposta = PerguntaTexto(j, "Nova coluna", "Entre express\xE3o", "0", MaxExpressao);
        if (!resposta) return;
        // MostraNovaColuna shows the whole table when this is its first column.
        if (NovaColuna(j->Tabela(), RespostaExpressao(*resposta))) j->MostraNovaColuna();
    });
}

void LigaQuadro(TForm1& f) {
    TForm1* j = &f;
    auto define = [j](const char* manipulador, std::function<void()> comando) {
        j->DefineComando(QString::fromLatin1(manipulador), std::move(comando));
    };
    define("Ordenar1Click", [j] {
        TabelaResultados& t = j->Tabela();
        const auto c = EscolheUmaColuna(t, "Ordenar por");
        if (!c) return;
        j->OrdenaPor(*c);
        j->MostraTabela();
    });
    define("Ttulo1Click", [j] {
        TabelaResultados& t = j->Tabela();
        const auto c = EscolheUmaColuna(t, "Modificar Titulo de");
        if (!c || !EditaTituloColuna(t, *c)) return;
        const QFontMetrics fm(QFont(QStringLiteral("Arial"), 8));
        j->StringGrid1->DefineLargura(*c, fm.horizontalAdvance(QLatin1Char('a')) * t.Coluna(*c).Largura + 5);
        j->AtualizaGrade();
    });
    define("LarguraCol1Click", [j] {
        TabelaResultados& t = j->Tabela();
        const Colunas c = MarcaVariasColunas(t, "Largura");
        if (!c.empty() && DefineLarguras(t, c)) j->MostraTabela();
    });
    define("Decimais1Click", [j] {
        TabelaResultados& t = j->Tabela();
        const Colunas c = MarcaColunas(t, "Decimais de");
        if (!c.empty() && DefineDecimais(t, c)) j->MostraTabela();
    });
    define("Tipodetotal1Click", [j] {
        TabelaResultados& t = j->Tabela();
        const Colunas c = MarcaColunas(t, "Tipo de total para as colunas ");
        if (!c.empty() && Tipodetotal1Click(t, c, j)) j->MostraTabela();
    });
    define("EliminaColuna1Click", [j] {
        TabelaResultados& t = j->Tabela();
        const Colunas c = MarcaColunas(t, "Colunas a eliminar");
        if (!c.empty() && EliminaColunasMarcadas(t, c)) j->MostraTabela();
    });
    define("MoveColuna1Click", [j] {
        TabelaResultados& t = j->Tabela();
        const std::int32_t de = EscolheColuna(t, "Mover");
        if (de == 0) return;
        const std::int32_t para = EscolheColuna(t, "Para");
        if (para == 0) return;
        j->MoveColunaDaTabela(de, para);
    });
    define("SupLinhas1Click", [j] {
        TabelaResultados& t = j->Tabela();
        const std::int32_t c = EscolheColuna(t, "Suprime/agrega linha se coluna");
        if (c == 0) return;
        const auto criterio = EscolheCriterio();
        if (!criterio) return;
        const std::int32_t antes = t.NumLinhas;
        switch (SuprimeLinhasPergunta(t, c, *criterio)) {
        case ResultadoSupressao::Cancelada:
            break;
        case ResultadoSupressao::TabelaVazia:
            j->FechaTabela();
            break;
        case ResultadoSupressao::Feita:
            // The user sees the rows kept before being asked about the others.
            MostraDoTopo(*j);
            if (AgregaLinhasEliminadas(t, antes)) j->MostraTabela();
            break;
        }
    });
    define("bTranspoeClick", [j] {
        TabelaResultados& t = j->Tabela();
        if (TransposicaoRecusada(t)) {
            Transpoe(t); // says why when there are too many rows
            return;
        }
        // The table as it was may be saved first; the transposed one replaces it.
        TabelaResultados antes = t;
        if (!j->FechaTabela()) return;
        t = std::move(antes);
        Transpoe(t);
        j->MostraTabela();
        j->MostraTituloDaTabela();
        j->StringGrid1->show();
        j->StringGrid1->setFocus();
    });
    define("MostrarChave1Click", [j] {
        AlternaMostraCodigo(j->Tabela());
        j->MostraTabela();
    });
    define("ComprChaveClick", [j] {
        if (!FixaComprimentoChave(j->Tabela())) return;
        j->HabilitaComandos();
        j->MostraTabela();
    });
    struct Texto {
        const char* manipulador;
        const char* pergunta;
        Cabecalho qual;
    };
    for (const Texto& x : {Texto{"Cabealho11Click",
                                 "Cabe\xE7"
                                 "alho1",
                                 Cabecalho::Titulo1},
                           Texto{"Cabealho21Click",
                                 "Cabe\xE7"
                                 "alho2",
                                 Cabecalho::Titulo2},
                           Texto{"mRodapeClick", "Rodap\xE9", Cabecalho::Rodape}}) {
        define(x.manipulador, [j, x] {
            TabelaResultados& t = j->Tabela();
            std::string& atual = x.qual == Cabecalho::Titulo1   ? t.Titulo1
                                 : x.qual == Cabecalho::Titulo2 ? t.Titulo2
                                                                : t.Rodape;
            const auto resposta = PerguntaTexto(j, "Entre Texto", x.pergunta, atual);
            if (!resposta) return;
            DefineCabecalho(t, x.qual, *resposta);
            QLineEdit* edicao = x.qual == Cabecalho::Titulo1   ? j->edTitulo
                                : x.qual == Cabecalho::Titulo2 ? j->edSubTitulo
                                                               : j->edRodape;
            edicao->setText(ParaQString(atual));
            if (x.qual == Cabecalho::Titulo1) j->setWindowTitle(ParaQString(TituloJanelaCabecalho(t)));
        });
    }
}

void LigaEstatisticas(TForm1& f) {
    TForm1* j = &f;
    auto define = [j](const char* manipulador, std::function<void()> comando) {
        j->DefineComando(QString::fromLatin1(manipulador), std::move(comando));
    };
    define("Descritivas", [j] {
        TabelaResultados& t = j->Tabela();
        if (t.NumColunas() < 1) return;
        Colunas marcadas;
        if (PrecisaMarcar(t, false)) {
            marcadas = MarcaColunas(t, " Calcular estat\xEDsticas da coluna ");
            if (marcadas.empty()) return;
        }
        MostraInfo(*j, "Estat\xEDsticas", DescritivasMarcadas(t, marcadas));
    });
    define("Correlacao1Click", [j] {
        TabelaResultados& t = j->Tabela();
        if (t.NumColunas() < 2) return;
        Colunas marcadas;
        if (PrecisaMarcar(t, true)) {
            marcadas = MarcaColunas(t, "Escolha duas colunas");
            if (marcadas.size() < 2) return;
        }
        MostraInfo(*j, "Correla\xE7\xE3o", CorrelacaoMarcadas(t, marcadas));
    });
    define("Regressao1Click", [j] {
        TabelaResultados& t = j->Tabela();
        if (t.NumColunas() < 2) return;
        const std::int32_t x = EscolheColuna(t, "Vari\xE1vel independente");
        if (x == 0) return;
        const std::int32_t y = EscolheColuna(t, "Vari\xE1vel dependente");
        if (y == 0) return;
        std::vector<std::string> linhas;
        if (Regressao(t, x, y, linhas)) j->MostraNovaColuna();
        MostraInfo(*j, "Regress\xE3o", linhas);
    });
}

// Items enabled, shown and captioned when their menu opens.
void LigaMenus(TForm1& f) {
    TForm1* j = &f;
    for (const char* menu : {"Estatstica1", "Quadros1", "Operaes1"})
        if (QMenu* m = j->findChild<QMenu*>(QString::fromLatin1(menu)))
            QObject::connect(m, &QMenu::aboutToShow, j, [j] { j->HabilitaComandos(); });
}

} // namespace

std::optional<std::string> PerguntaTexto(QWidget* pai, const std::string& titulo, const std::string& pergunta,
                                         const std::string& padrao, int maximo) {
    QInputDialog d(pai);
    d.setInputMode(QInputDialog::TextInput);
    if (auto* caixa = d.findChild<QLineEdit*>()) caixa->setMaxLength(maximo);
    d.setWindowTitle(ParaQString(titulo));
    d.setLabelText(ParaQString(pergunta));
    d.setTextValue(ParaQString(padrao));
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return DeQString(d.textValue());
}

TInfo& JanelaInfo(TForm1& f) {
    if (Info) return *Info;
    if (auto* propria = f.findChild<TInfo*>()) return *propria;
    return *new TInfo(&f);
}

void LigaComandosTabela(TForm1& f) {
    LigaOperacoes(f);
    LigaQuadro(f);
    LigaEstatisticas(f);
    LigaMenus(f);
}

} // namespace dorvan
