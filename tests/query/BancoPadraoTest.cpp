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
// A record of the count whose first byte happens to be 0x1A is a record like any
// other, in the DBC's stream as in the DBF.
TEST_F(BancoPadrao, ARecordBeginningWithTheEndByteCountsInDbfAndDbcAlike) {
    GravaDBF((dados / "e.dbf").string(), {{"COD", 'C', 3}}, 3, {" r01", "\x1Ar02", " r03"});
    ASSERT_TRUE(ComprimeDBF((dados / "e.dbf").string(), (dados / "F.DBC").string(), SemProgresso(), false).Ok());
    EXPECT_EQ(Consulta("select count(*) from e"), (std::vector<Linha>{{"3"}}));
    EXPECT_EQ(Consulta("select count(*) from f"), (std::vector<Linha>{{"3"}}));
    EXPECT_EQ(Consulta("select cod from f order by cod"), Consulta("select cod from e order by cod"));
}

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

TEST_F(BancoPadrao, ALogicalFieldIsTrueFalseOrNullAndAZeroByteIsNull) {
    using namespace std::string_literals;
    GravaDBF(dados / "VIVO.DBF", {{"N", 'N', 1, 0, 0}, {"VIVO", 'L', 1, 0, 0}}, 3,
             {" 1T", " 2n", " 3?", " 4 ", " 5\0"s, " 6S"});
    EXPECT_EQ(Consulta("select n, vivo from vivo"),
              (std::vector<Linha>{{"1", "1"}, {"2", "0"}, {"3", "NULL"}, {"4", "NULL"}, {"5", "NULL"}, {"6", "1"}}));
}

// Two files whose joins by text and by number have duplicate keys, blank keys, deleted
// records, accents in two code pages, and integers against reals.
class JuncaoDeArquivos : public BancoPadrao {
protected:
    struct Registro {
        bool apagado;
        std::string chave;  // text in 1252, blank for none
        std::string numero; // as written, blank for none
    };
    static std::string Em850(std::string s) {
        for (char& c : s)
            c = c == '\xE3' ? '\xC6' : c == '\xE9' ? '\x82' : c == '\xE7' ? '\x87' : c;
        return s;
    }
    static std::string Ajusta(std::string s, std::size_t n, bool aDireita) {
        return aDireita ? std::string(n - s.size(), ' ') + s : s + std::string(n - s.size(), ' ');
    }
    void SetUp() override {
        BancoPadrao::SetUp();
        const std::vector<std::string> chaves{"350010", "S\xE3o Jos\xE9", "", "ABC", "abc", "Concei\xE7\xE3o"};
        const std::vector<std::string> inteiros{"", "1", "2", "5", "-3", "100"};
        const std::vector<std::string> reais{"", "1.00", "5.00", "5.50", "-3.00", "2.25", "100.00"};
        std::vector<std::string> ra, rb;
        for (int i = 1; i <= 300; ++i) {
            a.push_back({i % 11 == 0, chaves[static_cast<std::size_t>(i * 7 % 6)], inteiros[(i / 2) % 6]});
            ra.push_back((a.back().apagado ? "*" : " ") + Ajusta(Em850(a.back().chave), 12, false) +
                         Ajusta(a.back().numero, 5, true));
        }
        for (int i = 1; i <= 200; ++i) {
            b.push_back({i % 13 == 0, chaves[static_cast<std::size_t>(i * 5 % 6)], reais[i % 7]});
            rb.push_back((b.back().apagado ? "*" : " ") + Ajusta(b.back().chave, 12, false) +
                         Ajusta(b.back().numero, 7, true));
        }
        GravaDBF(dados / "A.DBF", {{"K", 'C', 12, 0, 0}, {"N", 'N', 5, 0, 0}}, 2, ra);
        GravaDBF(pasta / "b.dbf", {{"K", 'C', 12, 0, 0}, {"R", 'N', 7, 2, 0}}, 3, rb);
        fs::copy_file(pasta / "b.dbf", dados / "B.DBF");
    }
    // The record pairs whose keys are equal, as numbers or as text, in order.
    std::vector<Linha> Pares(bool numeros) const {
        std::vector<Linha> r;
        for (std::size_t i = 0; i < a.size(); ++i)
            for (std::size_t j = 0; j < b.size(); ++j) {
                const std::string& x = numeros ? a[i].numero : a[i].chave;
                const std::string& y = numeros ? b[j].numero : b[j].chave;
                if (a[i].apagado || b[j].apagado || x.empty() || y.empty()) continue;
                if (numeros ? std::stod(x) == std::stod(y) : x == y)
                    r.push_back({std::to_string(i + 1), std::to_string(j + 1)});
            }
        return r;
    }
    std::vector<Linha> Registros(const std::vector<Registro>& v, const std::function<bool(const Registro&)>& f) const {
        std::vector<Linha> r;
        for (std::size_t i = 0; i < v.size(); ++i)
            if (!v[i].apagado && f(v[i])) r.push_back({std::to_string(i + 1)});
        return r;
    }
    std::vector<Registro> a, b;
};

TEST_F(JuncaoDeArquivos, EqualityJoinsReadTheInnerFileOnceAndGiveEveryPair) {
    ASSERT_FALSE(Pares(false).empty());
    ASSERT_FALSE(Pares(true).empty());
    for (const std::string tb : {"b", "b_dbc"}) {
        if (tb == "b_dbc") {
            ASSERT_TRUE(ComprimeDBF(pasta / "b.dbf", dados / "B.DBC", SemProgresso(), false).Ok());
        }
        const auto antes = Conteudo(dados);
        for (const char* sql : {"select a.rowid, b.rowid from a join %s b on a.k = b.k order by 1, 2",
                                "select a.rowid, b.rowid from %s b join a on b.k = a.k order by 1, 2"}) {
            std::string q = sql;
            q.replace(q.find("%s"), 2, tb);
            const std::int64_t lidos = RegistrosVisitadosDBF();
            EXPECT_EQ(Consulta(q), Pares(false)) << q;
            // The outer file once, then only the matching records of the inner one;
            // going through the inner file per outer record would read 60000.
            EXPECT_LE(RegistrosVisitadosDBF() - lidos, static_cast<std::int64_t>(Pares(false).size() + 300 + 200)) << q;
        }
        EXPECT_EQ(Consulta("select a.rowid, b.rowid from a, " + tb + " b where b.r = a.n order by 1, 2"), Pares(true));
        EXPECT_EQ(Conteudo(dados), antes) << tb;
    }
    // The inner file changed since its index was made.
    GravaDBF(dados / "B.DBF", {{"K", 'C', 12, 0, 0}, {"R", 'N', 7, 2, 0}}, 3,
             {" " + Ajusta("ABC", 12, false) + Ajusta("5.50", 7, true)});
    b = {{false, "ABC", "5.50"}};
    EXPECT_EQ(Consulta("select a.rowid, b.rowid from a join b on a.k = b.k order by 1, 2"), Pares(false));
}

TEST_F(JuncaoDeArquivos, EqualsWithAValueOfEachKind) {
    auto numero = [](double d) {
        return [d](const Registro& r) { return !r.numero.empty() && std::stod(r.numero) == d; };
    };
    EXPECT_EQ(Consulta("select rowid from b where r = 5"), Registros(b, numero(5)));
    EXPECT_EQ(Consulta("select rowid from b where r = 5.5"), Registros(b, numero(5.5)));
    EXPECT_EQ(Consulta("select rowid from a where n = 5.0"), Registros(a, numero(5)));
    EXPECT_EQ(Consulta("select rowid from a where n = -3"), Registros(a, numero(-3)));
    EXPECT_EQ(Consulta("select rowid from a where n = 5.5"), std::vector<Linha>{});
    // Text against a number column: SQLite's conversion decides, over the whole file.
    EXPECT_EQ(Consulta("select rowid from a where n = '5'"), Registros(a, numero(5)));
    EXPECT_EQ(Consulta("select rowid from a where n = null"), std::vector<Linha>{});
    EXPECT_EQ(Consulta("select rowid from a where k = 'S\xE3o Jos\xE9'"),
              Registros(a, [](const Registro& r) { return r.chave == "S\xE3o Jos\xE9"; }));
    EXPECT_EQ(Consulta("select rowid from b where k = 'abc'"),
              Registros(b, [](const Registro& r) { return r.chave == "abc"; }));
    EXPECT_EQ(Consulta("select rowid from b where k = 'abc' collate nocase"),
              Registros(b, [](const Registro& r) { return r.chave == "abc" || r.chave == "ABC"; }));
    EXPECT_EQ(Consulta("select rowid from b where k = ''"), std::vector<Linha>{});
    EXPECT_EQ(Consulta("select rowid from b where k = 350010"), Consulta("select rowid from b where k = '350010'"));
}

// A DBC read by record number is expanded whole first, and checked as any expansion.
TEST_F(JuncaoDeArquivos, ADbcWhoseCrcDoesNotMatchIsRefusedByAnEqualsAndByAScan) {
    ASSERT_TRUE(ComprimeDBF(pasta / "b.dbf", dados / "B.DBC", SemProgresso(), false).Ok());
    std::string bytes = pasta.Le("dados/B.DBC");
    dbfRecord h;
    OpenDBF(h, pasta / "b.dbf", true);
    bytes[static_cast<std::size_t>(h.TamCabecalho)] ^= 0x55;
    CloseDBF(h);
    pasta.Grava("dados/B.DBC", bytes);
    const std::string erro = ErroDe("select count(*) from b_dbc where k = 'ABC'");
    EXPECT_NE(erro.find("CRC"), std::string::npos) << erro;
    EXPECT_NE(erro.find("B.DBC"), std::string::npos) << erro;
    // A scan to its end checks it too: no count of a damaged file passes for a result.
    const std::string lido = ErroDe("select count(*) from b_dbc");
    EXPECT_NE(lido.find("CRC"), std::string::npos) << lido;
    EXPECT_NE(lido.find("B.DBC"), std::string::npos) << lido;
}

// A file written by R: its text key, with accents, against the same text in ours.
TEST_F(JuncaoDeArquivos, AKeyOfAFileWrittenByRFindsItsRecords) {
    const std::string r = "d<-data.frame(k=iconv(c('S\xC3\xA3o Jos\xC3\xA9','ABC',NA,'Concei\xC3\xA7\xC3\xA3o'),"
                          "'UTF-8','latin1'),n=c(5L,NA,2L,100L),stringsAsFactors=FALSE);foreign::write.dbf(d,'" +
                          (dados / "R.dbf").string() + "')";
    ASSERT_EQ(teste::Executa("Rscript -e \"" + r + "\""), 0);
    std::vector<Linha> esperado;
    const std::vector<std::string> rk{"S\xE3o Jos\xE9", "ABC", "", "Concei\xE7\xE3o"};
    for (std::size_t i = 0; i < rk.size(); ++i)
        for (std::size_t j = 0; j < a.size(); ++j)
            if (!rk[i].empty() && !a[j].apagado && a[j].chave == rk[i])
                esperado.push_back({std::to_string(i + 1), std::to_string(j + 1)});
    EXPECT_EQ(Consulta("select r.rowid, a.rowid from r join a on a.k = r.k order by 1, 2"), esperado);
    EXPECT_EQ(Consulta("select r.rowid, a.rowid from a join r on r.k = a.k order by 1, 2"), esperado);
    EXPECT_EQ(Consulta("select count(*) from r join a on a.n = r.n"),
              (std::vector<Linha>{{std::to_string(Registros(a, [](const Registro& x) {
                                                      return x.numero == "5" || x.numero == "2" || x.numero == "100";
                                                  }).size())}}));
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
