#include "data/CompressaoLote.h"

#include "data/ArquivosDBFTeste.h"
#include "data/Ucomprim.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace dorvan {
namespace {

using teste::MontaDBF;
using teste::PastaTemporaria;
namespace fs = std::filesystem;

std::string DBFDe(const std::string& conteudo) {
    return MontaDBF({{"NOME", 'C', 8}}, {conteudo + "-1", conteudo + "-2", conteudo + "-3"});
}

std::vector<std::string> Nomes(const std::vector<EntradaLista>& l) {
    std::vector<std::string> r;
    for (const auto& e : l)
        r.push_back(e.nome);
    return r;
}

void Marca(std::vector<EntradaLista>& l, std::initializer_list<const char*> nomes) {
    for (auto& e : l)
        for (const char* n : nomes)
            if (e.nome == n) e.marcado = true;
}

// Two folders, dbf/ and dbc/, the window's logic set on them, and the messages recorded.
struct Bancada {
    PastaTemporaria pasta;
    std::string dbf, dbc;
    MensagensRoteiro msg;
    UsaMensagens usa{msg};
    CompressaoLote lote;
    std::vector<std::string> mostrados;

    Bancada() {
        dbf = pasta / "dbf";
        dbc = pasta / "dbc";
        fs::create_directory(dbf);
        fs::create_directory(dbc);
        lote.MostraArquivo = [this](const std::string& t) { mostrados.push_back(t); };
    }
    void GravaDBF(const std::string& nome, const std::string& conteudo) { pasta.Grava("dbf/" + nome, DBFDe(conteudo)); }
    void Abre() {
        ASSERT_TRUE(lote.MudaDirDBF(dbf));
        ASSERT_TRUE(lote.MudaDirDBC(dbc));
    }
};

TEST(CompressaoLote, ListsShowTheFolderFilesOfTheirKindInAnyCase) {
    Bancada b;
    b.GravaDBF("b.dbf", "b");
    b.GravaDBF("A.DBF", "a");
    b.pasta.Grava("dbf/notas.txt", "x");
    b.pasta.Grava("dbc/c.Dbc", "x");
    b.Abre();
    EXPECT_EQ(Nomes(b.lote.ListaDBF), (std::vector<std::string>{"A.DBF", "b.dbf"}));
    EXPECT_EQ(Nomes(b.lote.ListaDBC), (std::vector<std::string>{"c.Dbc"}));
}

// A progress whose first report of one file presses the abort button.
class AbortaEm : public Progresso {
public:
    AbortaEm(CompressaoLote& l, std::string texto) : lote_(l), texto_(std::move(texto)) {}

protected:
    void Mostra(std::uint64_t, std::uint64_t, const std::string& texto) override {
        if (texto == texto_) lote_.PedeAborto();
    }

private:
    CompressaoLote& lote_;
    std::string texto_;
};

TEST(CompressaoLote, AbortDuringTheThirdOfFiveFinishesItAndBeginsNoOther) {
    Bancada b;
    for (const char* n : {"a", "b", "c", "d", "e"})
        b.GravaDBF(std::string(n) + ".dbf", n);
    b.Abre();
    for (auto& e : b.lote.ListaDBF)
        e.marcado = true;
    int eventos = 0;
    b.lote.ProcessaEventos = [&] { ++eventos; };

    AbortaEm aborta(b.lote, "Comprimindo c.dbf");
    b.lote.ComprimeMarcados(aborta);
    EXPECT_EQ(Nomes(b.lote.ListaDBC), (std::vector<std::string>{"a.dbc", "b.dbc", "c.dbc"}));
    EXPECT_TRUE(fs::exists(b.dbc + "/c.dbc"));
    EXPECT_FALSE(fs::exists(b.dbc + "/d.dbc"));
    EXPECT_EQ(eventos, 4); // the fourth entry's turn sees the abort
    EXPECT_FALSE(b.lote.AbortoPedido());
    EXPECT_FALSE(b.lote.Ocupado());
    EXPECT_EQ(b.mostrados,
              (std::vector<std::string>{"Comprimindo a.dbf", "", "Comprimindo b.dbf", "", "Comprimindo c.dbf", ""}));

    // An abort pressed during the last file does not stop the next command.
    AbortaEm abortaNoFim(b.lote, "Comprimindo e.dbf");
    b.lote.ComprimeMarcados(abortaNoFim);
    EXPECT_TRUE(b.lote.AbortoPedido());
    b.lote.ComprimeMarcados(SemProgresso());
    EXPECT_EQ(Nomes(b.lote.ListaDBC), (std::vector<std::string>{"a.dbc", "b.dbc", "c.dbc", "d.dbc", "e.dbc"}));
    EXPECT_TRUE(b.msg.Textos().empty());
}

TEST(CompressaoLote, OnlyMarkedEntriesAreWorkedAndListedOnce) {
    Bancada b;
    b.GravaDBF("a.dbf", "a");
    b.GravaDBF("b.dbf", "b");
    b.Abre();
    Marca(b.lote.ListaDBF, {"b.dbf"});
    b.lote.ComprimeMarcados(SemProgresso());
    b.lote.ComprimeMarcados(SemProgresso());
    EXPECT_EQ(Nomes(b.lote.ListaDBC), (std::vector<std::string>{"b.dbc"}));
    EXPECT_FALSE(fs::exists(b.dbc + "/a.dbc"));

    // Expanding lists the .dbf unless listed; the bytes come back unchanged.
    fs::remove(b.dbf + "/b.dbf");
    ASSERT_TRUE(b.lote.MudaDirDBF(b.dbf));
    Marca(b.lote.ListaDBC, {"b.dbc"});
    b.lote.ExpandeMarcados(SemProgresso());
    b.lote.ExpandeMarcados(SemProgresso());
    EXPECT_EQ(Nomes(b.lote.ListaDBF), (std::vector<std::string>{"a.dbf", "b.dbf"}));
    EXPECT_EQ(b.pasta.Le("dbf/b.dbf"), DBFDe("b"));
}

TEST(CompressaoLote, CrcTestWritesAndListsNothingAndGoesOnPastABadFile) {
    Bancada b;
    b.GravaDBF("a.dbf", "a");
    b.GravaDBF("b.dbf", "b");
    b.Abre();
    Marca(b.lote.ListaDBF, {"a.dbf", "b.dbf"});
    b.lote.ComprimeMarcados(SemProgresso());
    fs::remove(b.dbf + "/a.dbf");
    fs::remove(b.dbf + "/b.dbf");
    // a.dbc gets a wrong stored CRC.
    std::string a = b.pasta.Le("dbc/a.dbc");
    std::size_t posCRC = static_cast<unsigned char>(a[8]) | (static_cast<unsigned char>(a[9]) << 8);
    a[posCRC] = static_cast<char>(a[posCRC] ^ 0x55);
    b.pasta.Grava("dbc/a.dbc", a);
    ASSERT_TRUE(b.lote.MudaDirDBF(b.dbf));
    ASSERT_TRUE(b.lote.ListaDBF.empty());

    Marca(b.lote.ListaDBC, {"a.dbc", "b.dbc"});
    b.lote.TestaCRC(SemProgresso());
    EXPECT_TRUE(b.lote.ListaDBF.empty());
    EXPECT_TRUE(fs::is_empty(b.dbf));
    EXPECT_EQ(b.msg.Textos(), (std::vector<std::string>{"Erro de CRC no arquivo a.dbc: expans\xE3o cancelada"}));
    EXPECT_EQ(b.mostrados, (std::vector<std::string>{"Comprimindo a.dbf", "", "Comprimindo b.dbf", "",
                                                     "Expandindo a.dbc", "", "Expandindo b.dbc", ""}));
    EXPECT_TRUE(b.lote.Grava());

    // An error that ends the test midway still turns writing back on.
    fs::remove(b.dbc + "/b.dbc");
    EXPECT_THROW(b.lote.TestaCRC(SemProgresso()), ErroES);
    EXPECT_TRUE(b.lote.Grava());
    EXPECT_FALSE(b.lote.Ocupado());
}

// A DBF is the only copy of its data until a DBC holds it for sure: one this run
// wrote and that checks out now. A DBC of the same name from elsewhere (a stale one
// a failed compression left) is no such proof.
TEST(CompressaoLote, RemoveErasesOnlyDbfsWhoseDbcThisRunWroteAndChecked) {
    const std::string pergunta = "Aten\xE7\xE3o! b.dbf n\xE3o foi comprimido ainda! Deseja comprimi-lo agora?";
    enum class DBC { Nenhum, Velho, DestaExecucao, DestaExecucaoMudado };
    struct Caso {
        const char* nome;
        DBC dbc;
        const char* resposta; // nullptr: no question expected
        bool apagado;
    };
    const Caso casos[] = {
        {"DBC this run wrote: erased without asking", DBC::DestaExecucao, nullptr, true},
        {"stale 4-byte DBC: asked, No keeps the DBF", DBC::Velho, "1", false},
        {"stale 4-byte DBC: asked, Yes compresses then erases", DBC::Velho, "0", true},
        {"DBC of this run changed since: asked, No keeps it", DBC::DestaExecucaoMudado, "1", false},
        {"no DBC, answer No: kept", DBC::Nenhum, "1", false},
        {"no DBC, answer Yes: compressed, listed, then erased", DBC::Nenhum, "0", true},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        Bancada b;
        b.GravaDBF("a.dbf", "a");
        b.GravaDBF("b.dbf", "b");
        if (c.dbc == DBC::Velho) b.pasta.Grava("dbc/B.DBC", "stal");
        b.Abre();
        if (c.dbc == DBC::DestaExecucao || c.dbc == DBC::DestaExecucaoMudado) {
            ASSERT_TRUE(b.lote.Comprime("b.dbf", SemProgresso()));
        }
        if (c.dbc == DBC::DestaExecucaoMudado) b.pasta.Grava("dbc/b.dbc", "stal");
        Marca(b.lote.ListaDBF, {"b.dbf"});
        if (c.resposta) b.msg.Responde(c.resposta);
        b.lote.RemoveDBF(SemProgresso());

        const std::vector<std::string> ficam =
            c.apagado ? std::vector<std::string>{"a.dbf"} : std::vector<std::string>{"a.dbf", "b.dbf"};
        EXPECT_EQ(Nomes(b.lote.ListaDBF), ficam);
        EXPECT_EQ(fs::exists(b.dbf + "/b.dbf"), !c.apagado);
        EXPECT_TRUE(fs::exists(b.dbf + "/a.dbf"));
        if (c.apagado) {
            // What was erased can be had back whole from its DBC.
            ASSERT_EQ(b.lote.ListaDBC.size(), 1u);
            const std::string dbc = b.dbc + "/" + b.lote.ListaDBC[0].nome;
            EXPECT_TRUE(ExpandeDBC(dbc, b.dbf + "/b.dbf", SemProgresso()).Ok());
            EXPECT_EQ(b.pasta.Le("dbf/b.dbf"), DBFDe("b"));
        }
        if (c.resposta) {
            ASSERT_GE(b.msg.Registros().size(), 1u);
            const auto& r = b.msg.Registros()[0];
            EXPECT_EQ(r.tipo, "Confirma");
            EXPECT_EQ(r.texto, pergunta);
            EXPECT_EQ(r.botoes, (std::vector<std::string>{"&Yes", "&No"}));
        } else {
            EXPECT_TRUE(b.msg.Registros().empty());
        }
        EXPECT_EQ(b.msg.RespostasRestantes(), 0u);
    }
}

TEST(CompressaoLote, RemoveKeepsADbfWhoseCompressionFailed) {
    Bancada b;
    b.pasta.Grava("dbf/ruim.dbf", "not a dbf");
    b.GravaDBF("bom.dbf", "ok");
    b.Abre();
    Marca(b.lote.ListaDBF, {"ruim.dbf"});
    b.msg.Responde("0");
    EXPECT_THROW(b.lote.RemoveDBF(SemProgresso()), ErroES);
    EXPECT_TRUE(fs::exists(b.dbf + "/ruim.dbf"));
    EXPECT_EQ(Nomes(b.lote.ListaDBF), (std::vector<std::string>{"bom.dbf", "ruim.dbf"}));
    EXPECT_FALSE(b.lote.Ocupado());
    EXPECT_EQ(b.mostrados, (std::vector<std::string>{"Comprimindo ruim.dbf", ""}));
}

TEST(CompressaoLote, OutputReplacesAFileThatDiffersOnlyInCase) {
    Bancada b;
    b.GravaDBF("dados.dbf", "novo");
    b.pasta.Grava("dbc/DADOS.DBC", "velho");
    b.Abre();
    ASSERT_TRUE(b.lote.Comprime("dados.dbf", SemProgresso()));
    EXPECT_EQ(Nomes(b.lote.ListaDBC), (std::vector<std::string>{"DADOS.DBC"}));
    EXPECT_FALSE(fs::exists(b.dbc + "/dados.dbc"));
    EXPECT_NE(b.pasta.Le("dbc/DADOS.DBC"), "velho");
}

TEST(CompressaoLote, FoldersStayWhileACommandRuns) {
    Bancada b;
    b.GravaDBF("a.dbf", "a");
    b.Abre();
    Marca(b.lote.ListaDBF, {"a.dbf"});
    bool mudou = true;
    b.lote.ProcessaEventos = [&] { mudou = b.lote.MudaDirDBF(b.dbc); };
    b.lote.ComprimeMarcados(SemProgresso());
    EXPECT_FALSE(mudou);
    EXPECT_EQ(b.lote.DirDBF(), b.dbf);
    EXPECT_TRUE(b.lote.MudaDirDBF(b.dbc));
}

} // namespace
} // namespace dorvan
