#include "query/BancoPadrao.h"

#include "data/LeDBF32.h"
#include "data/TabelasDBF.h"
#include "data/Ucomprim.h"
#include "platform/Progresso.h"
#include "support/ApoioTeste.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace dorvan {
namespace {

namespace fs = std::filesystem;
using Linha = std::vector<std::string>;

std::set<std::string> Conteudo(const fs::path& pasta) {
    std::set<std::string> r;
    for (const auto& e : fs::recursive_directory_iterator(pasta))
        r.insert(e.path().string());
    return r;
}

// A DBF of our own writer: fields, language byte and records given as their bytes
// (deletion flag first).
void GravaDBF(const std::string& nome, const std::vector<CampoDBF>& campos, std::uint8_t idioma,
              const std::vector<std::string>& registros) {
    dbfRecord h;
    CreateDBF(h, nome, campos, idioma);
    for (const auto& r : registros) {
        ASSERT_EQ(r.size(), h.TamRegistro) << r;
        AppendDBF(h, r.data());
    }
    CloseDBF(h);
}

class BancoPadrao : public ::testing::Test {
protected:
    void SetUp() override {
        teste::GaranteAplicacao();
        dados = pasta.Caminho() / "dados";
        fs::create_directories(dados);
        motor.DefineFontePadrao(FonteArquivosDBF([this] { return cp850; }));
        ASSERT_EQ(motor.Inicia(), 0);
        motor.AdicionaAliasPadrao("Saude", dados.string());
    }
    std::vector<Linha> Consulta(const std::string& sql) {
        ConsultaBD q(motor);
        q.DatabaseName = "saude";
        q.SQL = {sql};
        q.Abre();
        std::vector<Linha> r;
        for (; !q.Fim(); q.Proximo()) {
            Linha l;
            for (int i = 0; i < q.NumCampos(); ++i)
                l.push_back(q.Nulo(i) ? "NULL" : q.Texto(i));
            r.push_back(l);
        }
        return r;
    }
    std::string ErroDe(const std::string& sql) {
        ConsultaBD q(motor);
        q.DatabaseName = "saude";
        q.SQL = {sql};
        try {
            q.Executa();
        } catch (const ErroBD& e) {
            return e.what();
        }
        return "sem erro";
    }
    // Two small files of our writer: cases by town, and towns by code.
    void CasosEMunicipios() {
        GravaDBF(dados / "CASOS.DBF", {{"MUNIC", 'C', 6, 0, 0}, {"IDADE", 'N', 3, 0, 0}}, 3,
                 {" 350010 30", " 350010 40", "*350020 50", " 350020 60", " 999999  1"});
        GravaDBF(dados / "munic.dbf", {{"CODIGO", 'C', 6, 0, 0}, {"NOME", 'C', 12, 0, 0}}, 3,
                 {" 350010Adamantina  ", " 350020Adolfo      "});
    }

    teste::PastaTemporaria pasta;
    fs::path dados;
    bool cp850 = false;
    MotorBD motor{pasta / "Aliases.ini"};
};

TEST_F(BancoPadrao, EveryColumnKindOfAFileWrittenByRIsRead) {
    const std::string r =
        "d<-data.frame(nome=iconv(c('S\xC3\xA3o Paulo','Ribeir\xC3\xA3o Preto',NA,'x'),'UTF-8','latin1'),"
        "n=c(1L,-20L,NA,4L),taxa=c(1.5,-0.25,NA,1e6/3),"
        "dia=as.Date(c('2020-01-31',NA,'1999-12-01','2000-02-29')),vivo=c(TRUE,FALSE,NA,TRUE),"
        "stringsAsFactors=FALSE);foreign::write.dbf(d,'" +
        (dados / "R.dbf").string() + "')";
    ASSERT_EQ(teste::Executa("Rscript -e \"" + r + "\""), 0);
    EXPECT_EQ(motor.NomesTabelas("Saude", "*.*"), std::vector<std::string>{"R"});
    EXPECT_EQ(motor.NomesCampos("Saude", "R"), (std::vector<std::string>{"nome", "n", "taxa", "dia", "vivo"}));
    EXPECT_EQ(Consulta("select nome, n, taxa, dia, vivo, typeof(n), typeof(taxa) from R"),
              (std::vector<Linha>{{"S\xE3o Paulo", "1", "1.5", "2020-01-31", "1", "integer", "real"},
                                  {"Ribeir\xE3o Preto", "-20", "-0.25", "NULL", "0", "integer", "real"},
                                  {"NULL", "NULL", "NULL", "1999-12-01", "NULL", "null", "null"},
                                  {"x", "4", "333333.3333333333", "2000-02-29", "1", "integer", "real"}}));
    EXPECT_EQ(Consulta("select count(*) from R where dia between '2000-01-01' and '2020-12-31' and vivo"),
              (std::vector<Linha>{{"2"}}));
    // The types the engine reports for the columns.
    ConsultaBD q(motor);
    q.DatabaseName = "Saude";
    q.SQL = {"select nome, n, taxa, vivo from R"};
    q.Abre();
    EXPECT_EQ(q.Campo(0).tipo, TipoCampo::Texto);
    EXPECT_EQ(q.Campo(1).tipo, TipoCampo::Inteiro);
    EXPECT_EQ(q.Campo(2).tipo, TipoCampo::Real);
    EXPECT_EQ(q.Campo(3).tipo, TipoCampo::Logico);
}

TEST_F(BancoPadrao, JoinsGroupsAndSubqueriesOverFilesLeaveDeletedRecordsOut) {
    CasosEMunicipios();
    EXPECT_EQ(motor.NomesTabelas("Saude", "*.*"), (std::vector<std::string>{"CASOS", "munic"}));
    EXPECT_EQ(Consulta("select munic, count(*), sum(idade) from casos group by munic order by 1"),
              (std::vector<Linha>{{"350010", "2", "70"}, {"350020", "1", "60"}, {"999999", "1", "1"}}));
    EXPECT_EQ(Consulta("select m.nome, count(*) from casos c join MUNIC m on m.codigo = c.munic "
                       "group by m.nome order by 1"),
              (std::vector<Linha>{{"Adamantina", "2"}, {"Adolfo", "1"}}));
    EXPECT_EQ(Consulta("select munic from casos where munic not in (select codigo from munic)"),
              (std::vector<Linha>{{"999999"}}));
    EXPECT_EQ(Consulta("select rowid, idade from casos where idade >= 50"), (std::vector<Linha>{{"4", "60"}}));
}

TEST_F(BancoPadrao, TextOfACodePage850FileIsDecoded) {
    // 0x87 and 0xC6 are c-cedilla and a-tilde in code page 850.
    GravaDBF(dados / "OEM.DBF", {{"NOME", 'C', 8, 0, 0}}, 2, {" Concei\x87\xC6"});
    GravaDBF(dados / "ZERO.DBF", {{"NOME", 'C', 8, 0, 0}}, 0, {" Concei\x87\xC6"});
    EXPECT_EQ(Consulta("select nome from oem"), (std::vector<Linha>{{"Concei\xE7\xE3"}}));
    // Language byte 0 follows the setting, read at each statement.
    EXPECT_EQ(Consulta("select nome from zero"), (std::vector<Linha>{{"Concei\x87\xC6"}}));
    cp850 = true;
    EXPECT_EQ(Consulta("select nome from zero"), (std::vector<Linha>{{"Concei\xE7\xE3"}}));
}

TEST_F(BancoPadrao, TheSampleDbcFilesAreReadThroughTheirStream) {
    ASSERT_EQ(teste::Executa(std::string(DORVAN_BINARY_DIR) + "/bin/dorvan_gera_amostra " + (pasta / "amostra") +
                             " 3000 1 > /dev/null"),
              0);
    const fs::path amostra = pasta.Caminho() / "amostra" / "dados";
    motor.AdicionaAliasPadrao("Amostra", amostra.string());
    const auto antes = Conteudo(amostra);
    const auto tabelas = motor.NomesTabelas("Amostra", "*.*");
    ASSERT_FALSE(tabelas.empty());
    const std::string dbc = (amostra / (tabelas.front() + ".DBC")).string();
    ASSERT_TRUE(fs::exists(dbc)) << dbc;
    // The same counts as the record scan gives, by the first text field.
    dbfRecord h;
    OpenDBF(h, dbc, true);
    int i = 1;
    while (i < h.NumCampos && h.Campo(i).Tipo != 'C')
        ++i;
    const std::string campo = h.Campo(i).Nome;
    std::map<std::string, long long> esperado;
    ASSERT_TRUE(ScanDBF(
        h,
        [&](dbfRecord& r) {
            if (r.RegistroAtual[0] == '*') return;
            std::string v = GetFieldDBF(r, i);
            while (!v.empty() && v.back() == ' ')
                v.pop_back();
            ++esperado[v];
        },
        true));
    CloseDBF(h);
    ConsultaBD q(motor);
    q.DatabaseName = "Amostra";
    q.SQL = {"select " + campo + ", count(*) from " + tabelas.front() + " group by 1"};
    q.Abre();
    std::map<std::string, long long> obtido;
    for (; !q.Fim(); q.Proximo())
        obtido[q.Texto(0)] = static_cast<long long>(q.Real(1));
    EXPECT_EQ(obtido, esperado);
    // A query that stops early ends the expansion cleanly.
    q.SQL = {"select * from " + tabelas.front() + " limit 3"};
    q.Abre();
    q.Fecha();
    EXPECT_EQ(Conteudo(amostra), antes);
}

// A DBC of many batches: read whole, and stopped early (its expansion ends without
// waiting for the rest of the file).
TEST_F(BancoPadrao, ALargeDbcIsReadWholeOrStoppedEarly) {
    const std::string dbf = pasta / "grande.dbf";
    {
        dbfRecord h;
        CreateDBF(h, dbf, {{"N", 'N', 7, 0, 0}, {"T", 'C', 92, 0, 0}}, 3);
        std::string r(h.TamRegistro, ' ');
        for (int i = 1; i <= 60000; ++i) {
            r[0] = i % 1000 == 0 ? '*' : ' ';
            PutFieldDBF(h, 1, std::to_string(i), r.data());
            PutFieldDBF(h, 2, std::string(static_cast<std::size_t>(i % 90), 'x'), r.data());
            AppendDBF(h, r.data());
        }
        CloseDBF(h);
    }
    ASSERT_TRUE(ComprimeDBF(dbf, dados / "GRANDE.DBC", SemProgresso(), false).Ok());
    EXPECT_EQ(Consulta("select count(*), sum(n), max(length(t)) from grande"),
              (std::vector<Linha>{{"59940", std::to_string(60000LL * 60001 / 2 - 1000LL * 60 * 61 / 2), "89"}}));
    for (int vez = 0; vez < 3; ++vez)
        EXPECT_EQ(Consulta("select n from grande limit 2"), (std::vector<Linha>{{"1"}, {"2"}}));
}

TEST_F(BancoPadrao, NothingIsWrittenIntoTheFolderAndChangesAreRefused) {
    CasosEMunicipios();
    const auto antes = Conteudo(dados);
    const std::string bytes = pasta.Le("dados/CASOS.DBF");
    EXPECT_EQ(Consulta("select count(*) from casos").front().front(), "4");
    EXPECT_EQ(ErroDe("update casos set idade = 0"), MensagemSomenteLeitura("CASOS"));
    EXPECT_EQ(ErroDe("delete from casos"), MensagemSomenteLeitura("CASOS"));
    EXPECT_EQ(ErroDe("insert into munic values ('1', 'x')"), MensagemSomenteLeitura("munic"));
    const std::string naoPermitido =
        "Comando n\xE3o permitido: um banco de dados STANDARD n\xE3o cria nem remove tabelas ou arquivos.";
    EXPECT_EQ(ErroDe("create table novo (a integer)"), naoPermitido);
    EXPECT_EQ(ErroDe("drop table casos"), naoPermitido);
    EXPECT_EQ(ErroDe("attach database '" + (dados / "x.db").string() + "' as x"), naoPermitido);
    EXPECT_EQ(ErroDe("vacuum into '" + (dados / "copia.db").string() + "'"), naoPermitido);
    EXPECT_EQ(Conteudo(dados), antes);
    EXPECT_EQ(pasta.Le("dados/CASOS.DBF"), bytes);
    EXPECT_EQ(Consulta("select count(*) from casos").front().front(), "4");
}

TEST_F(BancoPadrao, FilesThatComeAndGoAreSeenAtTheNextStatement) {
    CasosEMunicipios();
    EXPECT_EQ(motor.NomesTabelas("Saude", "*.*").size(), 2u);
    GravaDBF(dados / "NOVO.DBF", {{"A", 'N', 2, 0, 0}}, 3, {"  7"});
    EXPECT_EQ(Consulta("select a from novo"), (std::vector<Linha>{{"7"}}));
    fs::remove(dados / "munic.dbf");
    EXPECT_EQ(motor.NomesTabelas("Saude", "*.*"), (std::vector<std::string>{"CASOS", "NOVO"}));
}

// Field names SQL would take for the same column, however the file came to have
// them, still give a table with every field.
TEST_F(BancoPadrao, FieldNamesThatCollideStillGiveEveryColumn) {
    GravaDBF(
        dados / "NOMES.DBF",
        {{"A", 'C', 1, 0, 0}, {"a", 'C', 1, 0, 0}, {"A_2", 'C', 1, 0, 0}, {"", 'C', 1, 0, 0}, {"CAMPO4", 'C', 1, 0, 0}},
        3, {" 12345"});
    EXPECT_EQ(motor.NomesTabelas("Saude", "*.*"), (std::vector<std::string>{"NOMES"}));
    EXPECT_EQ(Consulta("select * from nomes"), (std::vector<Linha>{{"1", "2", "3", "4", "5"}}));
    EXPECT_EQ(Consulta("select a, a_2 from nomes"), (std::vector<Linha>{{"1", "2"}}));
}

TEST(TabelasDaPasta, ADbcBesideItsDbfKeepsItsExtensionInTheName) {
    teste::PastaTemporaria p;
    p.Grava("OBITOS.DBF", "");
    p.Grava("OBITOS.dbc", "");
    p.Grava("leia.txt", "");
    const auto t = TabelasDaPasta(p.Caminho().string());
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].nome, "OBITOS");
    EXPECT_EQ(t[0].arquivo, p / "OBITOS.DBF");
    EXPECT_EQ(t[1].nome, "OBITOS_dbc");
}

} // namespace
} // namespace dorvan
