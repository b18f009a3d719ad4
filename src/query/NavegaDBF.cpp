#include "query/NavegaDBF.h"

#include "analysis/PerfilR.h"
#include "analysis/LiteralR.h"
#include "data/UConvert.h"
#include "data/Ucomprim.h"
#include "output/GravaXML.h"
#include "output/SaidaTexto.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/Numeros.h"
#include "platform/Texto.h"
#include "table/Configuracao.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace dorvan {

namespace {

std::string Direita(const std::string& s, std::size_t largura) {
    return s.size() >= largura ? s : std::string(largura - s.size(), ' ') + s;
}

std::string Esquerda(std::string s, std::size_t largura) {
    if (s.size() < largura) s.append(largura - s.size(), ' ');
    return s;
}

std::string N(std::int64_t v) { return std::to_string(v); }

// A table or column name for a script: a plain name (letters, digits, '_') as it
// is, any other in double quotes (a quote inside doubled), so a name from the
// file can never end the statement.
std::string NomeSQL(const std::string& nome) {
    auto simples = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    bool plano = !nome.empty() && simples(nome[0]);
    for (char c : nome)
        plano = plano && (simples(c) || (c >= '0' && c <= '9'));
    return plano ? nome : EntreAspasDobradas(nome);
}

bool Apagado(const dbfRecord& h) { return h.RegistroAtual[0] == '*'; }

// The text shown for a field, trimmed.
std::string Aparado(const dbfRecord& h, int i, bool cp850) { return TiraBrancos(TextoCampo(h, i, cp850)); }

// Lines of a text file, CR LF or LF ended; the last may lack its end.
class LeitorLinhas {
public:
    explicit LeitorLinhas(const std::string& nome) : nome_(nome), f_(std::fopen(nome.c_str(), "rb")) {
        if (!f_) throw ErroES::DoSistema(nome, errno);
    }
    ~LeitorLinhas() {
        if (f_) std::fclose(f_);
        std::free(buffer_);
    }
    LeitorLinhas(const LeitorLinhas&) = delete;
    LeitorLinhas& operator=(const LeitorLinhas&) = delete;

    bool Proxima(std::string_view& linha) {
        errno = 0;
        const ssize_t n = ::getline(&buffer_, &capacidade_, f_);
        if (n < 0) {
            if (std::ferror(f_)) throw ErroES::DoSistema(nome_, errno);
            return false;
        }
        std::size_t t = static_cast<std::size_t>(n);
        if (t > 0 && buffer_[t - 1] == '\n') --t;
        if (t > 0 && buffer_[t - 1] == '\r') --t;
        linha = std::string_view(buffer_, t);
        return true;
    }

private:
    std::string nome_;
    std::FILE* f_;
    char* buffer_ = nullptr;
    std::size_t capacidade_ = 0;
};

// Counts appended records and lets window events run at the fixed interval.
void Conta(std::int64_t& n, const EventosAcrescimo& eventos) {
    ++n;
    if (eventos && n % IntervaloEventosAcrescimo == 0) eventos();
}

} // namespace

bool EhDBC(const std::string& nome) {
    const std::string base = NomeSemPasta(nome);
    const std::size_t ponto = base.find_last_of('.');
    return ponto != std::string::npos && MaiusculasAscii(base.substr(ponto)) == ".DBC";
}

bool AbreParaLeitura(dbfRecord& h, const std::string& nome) {
    if (h.Estado != 0) CloseDBF(h);
    OpenDBF(h, nome, true);
    if (h.Estado == 0 || !EhDBC(nome)) return h.Estado != 0;

    // The grid reads records in any order; the compressed stream only from its start.
    CloseDBF(h);
    std::error_code ec;
    const std::string real = std::filesystem::exists(nome, ec) ? nome : ResolveNome(nome);
    const std::string copia = PastaDaExecucao() + "navega.dbf";
    const ResultadoCodec r = ExpandeDBC(real, copia, SemProgresso());
    if (!r.Ok()) return false;
    OpenDBF(h, copia, true);
    // The open handle keeps the records; the name goes at once.
    std::filesystem::remove(copia, ec);
    if (h.Estado == 0) return false;
    h.Nome = nome;
    return true;
}

bool PodeAcrescentar(const dbfRecord& h) {
    if (!EhDBC(h.Nome)) return true;
    MensagensAtuais().Mostra("O arquivo " + DeUtf8(NomeSemPasta(h.Nome)) +
                             " \xE9 comprimido (DBC) e s\xF3 pode ser lido: expanda-o em DBF para acrescentar "
                             "registros.");
    return false;
}

bool PodeComprimir(const dbfRecord& h) {
    if (!EhDBC(h.Nome)) return true;
    MensagensAtuais().Mostra("O arquivo " + DeUtf8(NomeSemPasta(h.Nome)) + " j\xE1 \xE9 comprimido (DBC).");
    return false;
}

void Reabre(dbfRecord& h, bool escrita) {
    const std::string nome = h.Nome;
    // A DBC is shown from its expansion: there is nothing to open again for writing.
    if (escrita && EhDBC(nome)) throw ErroES(nome, "arquivo comprimido (DBC) aberto somente para leitura");
    if (h.Estado != 0) CloseDBF(h);
    OpenDBF(h, nome, !escrita);
    if (h.Estado == 0) throw ErroES(nome, "n\xE3o foi poss\xEDvel reabrir o arquivo");
    if (escrita && h.SomenteLeitura) {
        // Appends would only fail record by record: say it once, and keep the file on show.
        CloseDBF(h);
        OpenDBF(h, nome, true);
        throw ErroES(nome, "arquivo sem permiss\xE3o de grava\xE7\xE3o");
    }
}

std::string NomeSaida(const std::string& dbf, const std::string& ext) { return TrocaExtensao(dbf, ext); }

std::string NomeSemPasta(const std::string& caminho) {
    const std::size_t barra = caminho.find_last_of('/');
    return barra == std::string::npos ? caminho : caminho.substr(barra + 1);
}

std::string TextoCampo(const dbfRecord& h, int i, bool DBFcomCP850) {
    const std::string_view bruto = VistaCampoDBF(h, i);
    return TextoEmCP850(h, DBFcomCP850) ? OemParaAnsi(bruto) : std::string(bruto);
}

std::vector<std::string> InformacaoDBF(const dbfRecord& h, std::uint64_t tamanhoArquivo) {
    std::vector<std::string> l;
    l.push_back("Informa\xE7\xE3o de " + h.Nome);
    l.emplace_back();
    l.push_back("Language driver  = " + N(h.Idioma));
    auto parte = [&h](std::size_t pos, std::size_t n) {
        return h.Data.size() >= pos + n ? N(std::atoi(h.Data.substr(pos, n).c_str())) : std::string("0");
    };
    l.push_back("Data atualiza\xE7\xE3o = " + parte(6, 2) + "/" + parte(4, 2) + "/" + parte(0, 4));
    l.push_back("Num. Registros   = " + N(h.NumRegs));
    l.push_back("Num. Campos      = " + N(h.NumCampos));
    l.push_back("Comp. registro   = " + N(h.TamRegistro));
    l.push_back("Tamanho Total    = " + N(static_cast<std::int64_t>(tamanhoArquivo)));
    l.emplace_back();
    l.push_back("Estrutura:");
    for (int i = 1; i <= h.NumCampos; ++i) {
        const CampoDBF& c = h.Campo(i);
        l.push_back(Direita(N(i), 3) + " " + Esquerda(c.Nome, 11) + c.Tipo + Direita(N(c.Tamanho), 4) + " " +
                    N(c.Decimais) + Direita(N(c.Deslocamento), 5));
    }
    l.emplace_back();
    const std::string base = NomeSemPasta(h.Nome);
    l.push_back("create table " + NomeSQL(MinusculasAscii(base.substr(0, base.find('.')))) + "(");
    for (int i = 1; i <= h.NumCampos; ++i) {
        const CampoDBF& c = h.Campo(i);
        std::string tipo;
        switch (c.Tipo) {
        case 'N':
        case 'F':
            tipo = "numeric(" + N(c.Tamanho) + (c.Decimais != 0 ? "," + N(c.Decimais) : std::string()) + ")";
            break;
        case 'D':
            tipo = "date";
            break;
        case 'L':
            tipo = "boolean";
            break;
        default:
            tipo = "char(" + N(c.Tamanho) + ")";
            break;
        }
        l.push_back("  " + Esquerda(NomeSQL(MinusculasAscii(c.Nome)), 11) + tipo + (i < h.NumCampos ? "," : ");"));
    }
    return l;
}

std::string GravaCSVDBF(dbfRecord& h, bool DBFcomCP850) {
    const std::string nome = NomeSaida(h.Nome, ".csv");
    SaidaTexto s(nome);
    std::string linha;
    for (int i = 1; i <= h.NumCampos; ++i) {
        if (i > 1) linha += ',';
        linha += EntreAspasDobradas(h.Campo(i).Nome);
    }
    s.Linha(linha);
    for (std::int64_t r = 1; r <= h.NumRegs; ++r) {
        readDBF(h, r);
        if (Apagado(h)) continue;
        linha.clear();
        for (int i = 1; i <= h.NumCampos; ++i) {
            if (i > 1) linha += ',';
            switch (h.Campo(i).Tipo) {
            case 'C':
                // Quoted as the table's own CSV export quotes a text.
                linha += EntreAspasDobradas(Aparado(h, i, DBFcomCP850));
                break;
            case 'D':
                linha += EntreAspasDobradas(VistaCampoDBF(h, i));
                break;
            case 'L': {
                const std::string_view v = VistaCampoDBF(h, i);
                const char c = v.empty() ? 'F' : static_cast<char>(std::toupper(static_cast<unsigned char>(v[0])));
                linha += (c == 'T' || c == 'Y') ? "T" : "F";
                break;
            }
            case 'N': {
                // A number goes as it is; anything else a reader would split or misread
                // (a decimal comma, an overflow mark) goes as quoted text.
                const std::string v = TiraBrancos(VistaCampoDBF(h, i));
                if (v.find_first_not_of("0123456789+-.eE") == std::string::npos)
                    linha += v;
                else
                    linha += EntreAspasDobradas(v);
                break;
            }
            default:
                break;
            }
        }
        s.Linha(linha);
    }
    s.Fim();
    return nome;
}

std::string GravaXMLDBF(dbfRecord& h, bool DBFcomCP850) {
    const std::string nome = NomeSaida(h.Nome, ".xml");
    std::vector<std::string> tags;
    for (int i = 1; i <= h.NumCampos; ++i)
        tags.push_back(NomeTagXML(h.Campo(i).Nome));
    SaidaTexto s(nome);
    s.Linha("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
    s.Linha("<Tabela>");
    for (std::int64_t r = 1; r <= h.NumRegs; ++r) {
        readDBF(h, r);
        if (Apagado(h)) continue;
        s.Linha("<Linha>");
        for (int i = 1; i <= h.NumCampos; ++i) {
            const std::string& t = tags[static_cast<std::size_t>(i - 1)];
            // Escaped, so a "&" or "<" in a text keeps the document readable.
            s.Linha("  <" + t + ">" + TextoXML(Aparado(h, i, DBFcomCP850)) + "</" + t + ">");
        }
        s.Linha("</Linha>");
    }
    s.Linha("</Tabela>");
    s.Fim();
    return nome;
}

std::string GravaSQLDBF(dbfRecord& h, bool DBFcomCP850) {
    const std::string nome = NomeSaida(h.Nome, ".sql");
    std::string base = NomeSemPasta(h.Nome);
    const std::string tabela = NomeSQL(base.size() > 4 ? base.substr(0, base.size() - 4) : base);
    auto entra = [](char t) { return t == 'C' || t == 'D' || t == 'F' || t == 'L' || t == 'N'; };
    std::vector<int> campos;
    for (int i = 1; i <= h.NumCampos; ++i)
        if (entra(h.Campo(i).Tipo)) campos.push_back(i);

    SaidaTexto s(nome);
    s.Linha("CREATE TABLE " + tabela + " (");
    // Columns are joined over the kept fields only, so a left-out field between or
    // after them neither glues two columns together nor loses the closing ");".
    for (std::size_t k = 0; k < campos.size(); ++k) {
        const CampoDBF& c = h.Campo(campos[k]);
        std::string l = "  " + NomeSQL(MinusculasAscii(c.Nome));
        switch (c.Tipo) {
        case 'C':
        case 'L':
            l += " CHAR(" + N(c.Tamanho) + ")";
            break;
        case 'D':
            l += " DATE";
            break;
        default:
            l += " NUMERIC(" + N(c.Tamanho) + (c.Decimais != 0 ? "," + N(c.Decimais) : std::string()) + ")";
            break;
        }
        s.Linha(l + (k + 1 < campos.size() ? "," : ");"));
    }
    if (campos.empty()) s.Linha(");");
    for (std::int64_t r = 1; r <= h.NumRegs; ++r) {
        readDBF(h, r);
        if (Apagado(h)) continue;
        std::string l = "INSERT INTO " + tabela + " VALUES(";
        for (std::size_t k = 0; k < campos.size(); ++k) {
            const int i = campos[k];
            if (k > 0) l += ',';
            switch (h.Campo(i).Tipo) {
            case 'C':
                l += EntreAspasDobradas(Aparado(h, i, DBFcomCP850), '\'');
                break;
            case 'D': {
                const std::string_view d = VistaCampoDBF(h, i);
                // A blank date has no year to write: it is an absent value, and so is
                // anything but eight digits.
                if (d.size() < 8 || !std::all_of(d.begin(), d.begin() + 8, [](char c) { return c >= '0' && c <= '9'; }))
                    l += "NULL";
                else
                    l += "'" + std::string(d.substr(0, 4)) + "-" + std::string(d.substr(4, 2)) + "-" +
                         std::string(d.substr(6, 2)) + "'";
                break;
            }
            case 'L':
                l += EntreAspasDobradas(TiraBrancos(VistaCampoDBF(h, i)), '\'');
                break;
            default: {
                // The field's text goes into the script only when it is a number.
                const std::string v = TiraBrancos(VistaCampoDBF(h, i));
                l += LeNumeroMaquina(v) ? v : std::string("NULL");
                break;
            }
            }
        }
        s.Linha(l + ");");
    }
    s.Fim();
    return nome;
}

std::string GravaCNVDBF(dbfRecord& h) {
    if (h.NumCampos < 2) throw ErroFatal("O arquivo precisa de dois campos para criar a tabela de convers\xE3o.");
    const std::string nome = NomeSaida(h.Nome, ".cnv");
    const int codigo = h.Campo(1).Tamanho < h.Campo(2).Tamanho ? 1 : 2;
    const int rotulo = 3 - codigo;
    std::vector<std::string> linhas;
    std::string anterior;
    bool primeiro = true;
    std::int64_t categoria = 0;
    for (std::int64_t r = 1; r <= h.NumRegs; ++r) {
        readDBF(h, r);
        if (Apagado(h)) continue;
        const std::string texto(VistaCampoDBF(h, rotulo));
        if (primeiro || texto != anterior) ++categoria;
        primeiro = false;
        anterior = texto;
        std::string cod(VistaCampoDBF(h, codigo));
        if (!cod.empty() && cod.back() == ' ') cod += ',';
        linhas.push_back(Direita(N(categoria), 7) + "  " + Esquerda(texto.substr(0, 50), 51) + cod);
    }
    SaidaTexto s(nome);
    s.Linha(N(categoria) + " " + N(h.Campo(codigo).Tamanho));
    for (const auto& l : linhas)
        s.Linha(l);
    s.Fim();
    return nome;
}

void CopiaEstrutura(const dbfRecord& h, const std::string& destino) {
    dbfRecord novo;
    CreateDBF(novo, destino, h.Campos, h.Idioma);
    CloseDBF(novo);
}

void AcrescentaLinhaSeparada(dbfRecord& h, std::string_view linha, char sep) {
    std::vector<char> reg(h.TamRegistro, ' ');
    for (int i = 1; i <= h.NumCampos; ++i) {
        const std::size_t p = linha.find(sep);
        std::string_view parte = linha.substr(0, p);
        // An empty rest keeps a real pointer: the field writer copies from it.
        linha = p == std::string_view::npos ? linha.substr(linha.size()) : linha.substr(p + 1);
        PutFieldDBF(h, i, parte.substr(0, 255), reg.data());
    }
    AppendDBF(h, reg.data());
}

std::int64_t AcrescentaDelimitado(dbfRecord& h, const std::string& texto, char sep, const EventosAcrescimo& eventos) {
    LeitorLinhas leitor(texto);
    std::string_view linha;
    std::int64_t n = 0;
    while (leitor.Proxima(linha)) {
        AcrescentaLinhaSeparada(h, linha, sep);
        Conta(n, eventos);
    }
    return n;
}

std::int64_t AcrescentaSDF(dbfRecord& h, const std::string& texto, const EventosAcrescimo& eventos) {
    LeitorLinhas leitor(texto);
    std::string_view linha;
    std::int64_t n = 0;
    std::vector<char> reg(h.TamRegistro, ' ');
    while (leitor.Proxima(linha)) {
        std::fill(reg.begin(), reg.end(), ' ');
        const std::size_t k = std::min<std::size_t>(linha.size(), reg.size() - 1);
        std::copy_n(linha.data(), k, reg.begin() + 1);
        AppendDBF(h, reg.data());
        Conta(n, eventos);
    }
    return n;
}

std::int64_t AcrescentaDeDBF(dbfRecord& h, const std::string& outro, const EventosAcrescimo& eventos) {
    dbfRecord o;
    OpenDBF(o, outro, true);
    if (o.Estado == 0) return 0;
    std::vector<int> par(static_cast<std::size_t>(h.NumCampos) + 1, 0);
    for (int i = 1; i <= h.NumCampos; ++i)
        par[static_cast<std::size_t>(i)] = FieldDBF(o, h.Campo(i).Nome);
    std::vector<char> reg(h.TamRegistro, ' ');
    std::int64_t n = 0;
    for (std::int64_t r = 1; r <= o.NumRegs; ++r) {
        readDBF(o, r);
        if (Apagado(o)) continue;
        std::fill(reg.begin(), reg.end(), ' ');
        for (int i = 1; i <= h.NumCampos; ++i)
            if (const int j = par[static_cast<std::size_t>(i)]; j > 0)
                PutFieldDBF(h, i, VistaCampoDBF(o, j), reg.data());
        AppendDBF(h, reg.data());
        Conta(n, eventos);
    }
    CloseDBF(o);
    return n;
}

std::vector<std::string> ComandoXSLT(const std::string& programaXSLT, const std::string& xml,
                                     const std::string& folha) {
    static const std::string java = "java -jar ";
    std::vector<std::string> args;
    std::string programa = programaXSLT;
    if (programaXSLT.compare(0, java.size(), java) == 0) {
        args = {"java", "-jar", programaXSLT.substr(java.size())};
    } else {
        args = {programa};
    }
    // xsltproc takes the style sheet before the document; other processors as set.
    const std::string base = NomeSemPasta(programa);
    if (base.compare(0, 8, "xsltproc") == 0) {
        args.push_back(folha);
        args.push_back(xml);
    } else {
        args.push_back(xml);
        args.push_back(folha);
    }
    return args;
}

std::string ProgramaXSLTDoArquivo(const std::string& arquivo) {
    const std::string ext = arquivo.size() >= 4 ? MaiusculasAscii(arquivo.substr(arquivo.size() - 4)) : "";
    return ext == ".JAR" ? "java -jar " + arquivo : arquivo;
}

std::string ArquivoDoProgramaXSLT(const std::string& programaXSLT) {
    static const std::string java = "java -jar ";
    if (programaXSLT.compare(0, 5, "java ") == 0 && programaXSLT.compare(0, java.size(), java) == 0)
        return programaXSLT.substr(java.size());
    return programaXSLT;
}

std::string LegendaXSLT(const std::string& programaXSLT) {
    return "Via XSLT usando " + NomeSemPasta(ArquivoDoProgramaXSLT(programaXSLT));
}

std::vector<std::string> ComandoUXT(const std::string& dirPrograma, const std::string& xml, const std::string& folha) {
    return {dirPrograma + ProgramaUXT, xml, folha, "temp.txt"};
}

std::int64_t AcrescentaLinhasArquivo(dbfRecord& h, const std::string& arquivo, const EventosAcrescimo& eventos) {
    return AcrescentaDelimitado(h, arquivo, '|', eventos);
}

std::string TextoExecutadoEm(std::int64_t segundos) { return "Executado em " + N(segundos) + " Segundos"; }

std::string TextoRprofile(const std::string& dirPrograma, const std::string& csv, bool temAutoexec, bool temMenu) {
    // The code is 1252 text, as the main window's is: file names come from the system's UTF-8.
    const std::string programa = DeUtf8(dirPrograma);
    std::string s = std::string(LinhaCodificacaoR) + "\n";
    if (temAutoexec) s += "source(" + LiteralR(programa + "autoexec.r") + ")\n";
    // .First runs before R attaches its default packages: read.csv is named with its package.
    s += ".First = function() {tabela <<- utils::read.csv(" + LiteralR(DeUtf8(csv)) + ",check.names=FALSE)\n";
    s += " cat(\"\\n   Dados carregados em \\\"tabela\\\"!\\n\\n\")}\n";
    s += "dirdorvan <<- " + LiteralR(programa) + ";\n";
    if (temMenu) s += "source(" + LiteralR(programa + "menu.r") + ")\n";
    return s;
}

void GravaRprofile(const std::string& pasta, const std::string& dirPrograma, const std::string& csv) {
    std::string p = pasta.empty() ? std::string("./") : pasta;
    if (p.back() != '/') p += '/';
    std::error_code ec;
    const bool autoexec = std::filesystem::exists(dirPrograma + "autoexec.r", ec);
    const bool menu = std::filesystem::exists(dirPrograma + "menu.r", ec);
    GravaPerfilR(p, TextoRprofile(dirPrograma, csv, autoexec, menu));
}

} // namespace dorvan
