#include "query/ConsultaDBF.h"

#include "data/UConvert.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "platform/Texto.h"
#include "platform/Texto1252.h"
#include "table/Utilidades.h"
#include "tabulation/Utab.h"

#include <QCoreApplication>
#include <QDate>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace dorvan {

namespace {

bool ComecaCom(std::string_view s, std::string_view prefixo) { return s.substr(0, prefixo.size()) == prefixo; }

std::int64_t SegundosDesde(std::chrono::steady_clock::time_point inicio) {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - inicio).count();
}

// A plain decimal number: optional '-', digits, optional '.' and digits.
struct Decimal {
    bool negativo = false;
    std::string inteira; // without leading zeros; empty for zero
    std::string fracao;
};

std::optional<Decimal> LeDecimal(std::string_view t) {
    Decimal d;
    std::size_t i = 0;
    if (i < t.size() && t[i] == '-') {
        d.negativo = true;
        ++i;
    }
    bool digito = false;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i, digito = true)
        if (!(d.inteira.empty() && t[i] == '0')) d.inteira += t[i];
    if (i < t.size() && t[i] == '.')
        for (++i; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i, digito = true)
            d.fracao += t[i];
    if (!digito || i != t.size()) return std::nullopt;
    return d;
}

bool SoZeros(const std::string& s) { return s.find_first_not_of('0') == std::string::npos; }

int DigitosInteiros(const Decimal& d) {
    return static_cast<int>(std::max<std::size_t>(d.inteira.size(), 1)) + (d.negativo ? 1 : 0);
}

// "yyyy-mm-dd" or "yyyymmdd" of a real calendar date, as "yyyymmdd"; empty otherwise.
std::string DataDoTexto(const std::string& t) {
    std::string d;
    if (t.size() == 10 && t[4] == '-' && t[7] == '-')
        d = t.substr(0, 4) + t.substr(5, 2) + t.substr(8, 2);
    else if (t.size() == 8)
        d = t;
    else
        return {};
    if (!std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; })) return {};
    const QDate data(std::stoi(d.substr(0, 4)), std::stoi(d.substr(4, 2)), std::stoi(d.substr(6, 2)));
    return data.isValid() ? d : std::string();
}

// The width and the fewest decimals of a number field for each numeric kind of column.
struct MedidaNumero {
    TipoCampo tipo;
    int tamanho;
    int decimaisMinimos;
};
constexpr MedidaNumero MedidasNumero[] = {
    {TipoCampo::Inteiro16, 5, 0},  {TipoCampo::Palavra, 5, 0}, {TipoCampo::Inteiro, 10, 0},
    {TipoCampo::Inteiro64, 20, 0}, {TipoCampo::Real, 16, 0},   {TipoCampo::Moeda, 16, 2},
    {TipoCampo::BCD, 17, 0},
};

const MedidaNumero* MedidaDoTipo(TipoCampo t) {
    for (const MedidaNumero& m : MedidasNumero)
        if (m.tipo == t) return &m;
    return nullptr;
}

bool Numerico(TipoCampo t) { return MedidaDoTipo(t) != nullptr; }

// The spool of the rows received: removed whatever way the run ends.
class ArquivoProvisorio {
public:
    explicit ArquivoProvisorio(std::string nome) : nome_(std::move(nome)) {}
    ~ArquivoProvisorio() {
        if (!nome_.empty()) {
            std::error_code ec;
            std::filesystem::remove(nome_, ec);
        }
    }
    ArquivoProvisorio(const ArquivoProvisorio&) = delete;
    ArquivoProvisorio& operator=(const ArquivoProvisorio&) = delete;
    const std::string& Nome() const { return nome_; }

private:
    std::string nome_;
};

// A name of its own beside arquivo for the spool.
std::string NomeProvisorio(const std::string& arquivo) {
    static std::atomic<unsigned> contador{0};
    const std::filesystem::path p(arquivo);
    std::filesystem::path nome =
        p.parent_path() / ("." + p.filename().string() + "." + std::to_string(QCoreApplication::applicationPid()) +
                           "." + std::to_string(++contador) + ".tmp");
    return nome.string();
}

void GravaValor(std::ofstream& f, bool nulo, const std::string& t) {
    const std::uint32_t n = static_cast<std::uint32_t>(t.size());
    f.put(nulo ? 0 : 1);
    f.write(reinterpret_cast<const char*>(&n), sizeof n);
    f.write(t.data(), static_cast<std::streamsize>(n));
}

bool LeValor(std::ifstream& f, bool& nulo, std::string& t) {
    const int marca = f.get();
    std::uint32_t n = 0;
    if (marca == std::char_traits<char>::eof() || !f.read(reinterpret_cast<char*>(&n), sizeof n)) return false;
    nulo = marca == 0;
    t.resize(n);
    return static_cast<bool>(f.read(t.data(), static_cast<std::streamsize>(n)));
}

} // namespace

std::string NomeCampoConsulta(std::string_view nome) {
    std::string n = MaiusculasSemAcento(nome);
    for (char& c : n)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) c = '_';
    return n.substr(0, 10);
}

void ObservaValor(PerfilColuna& p, const std::string& texto, TipoCampo tipoValor) {
    ++p.valores;
    p.maiorTexto = std::max(p.maiorTexto, texto.size());
    if (!Numerico(tipoValor)) p.vieramComoNumero = false;
    if (p.numeros) {
        if (const auto d = LeDecimal(texto)) {
            int inteiros = DigitosInteiros(*d);
            // Decimals beyond a field's most are rounded away, which may carry into one
            // more integer digit (99.9999... -> 100.000...).
            const std::size_t m = MaxDecimaisConsulta;
            if (d->fracao.size() > m && d->fracao[m] >= '5' && !d->inteira.empty() &&
                d->inteira.find_first_not_of('9') == std::string::npos &&
                d->fracao.find_first_not_of('9') >= m)
                ++inteiros;
            p.digitosInteiros = std::max(p.digitosInteiros, inteiros);
            p.decimais = std::max(p.decimais, static_cast<int>(d->fracao.size()));
        } else {
            p.numeros = false;
        }
    }
    if (p.datas && DataDoTexto(texto).empty()) p.datas = false;
}

namespace {

// A text column whose DBF name starts DATA_ or DT_: a date field when every value is a date.
bool PodeSerData(const CampoBD& c) {
    if (c.tipo != TipoCampo::Texto && c.tipo != TipoCampo::Bytes && c.tipo != TipoCampo::VarBytes) return false;
    const std::string nome = NomeCampoConsulta(c.nome);
    return ComecaCom(nome, "DATA_") || ComecaCom(nome, "DT_");
}

} // namespace

CampoDBF CampoDaConsulta(const CampoBD& c, const PerfilColuna& p) {
    CampoDBF f;
    f.Nome = NomeCampoConsulta(c.nome);
    auto define = [&f](char tipo, int tamanho, int decimais) {
        f.Tipo = tipo;
        f.Tamanho = static_cast<std::uint8_t>(std::clamp(tamanho, 1, MaxTamanhoCampoConsulta));
        f.Decimais = static_cast<std::uint8_t>(decimais);
    };
    // A number field as wide as the engine's kind says, and wider when a value needs it.
    auto numero = [&](int tamanho, int decimaisMinimos) {
        const int decimais = std::clamp(std::max(decimaisMinimos, p.decimais), 0, MaxDecimaisConsulta);
        define('N', std::max(tamanho, p.digitosInteiros + (decimais ? decimais + 1 : 0)), decimais);
    };
    // A text field: the width the engine declares, else the longest value.
    auto texto = [&] {
        define('C',
               c.tamanho > 0 ? std::max<std::size_t>(static_cast<std::size_t>(c.tamanho), p.maiorTexto)
                             : std::max<std::size_t>(p.maiorTexto, 1),
               0);
    };
    const bool comValores = p.valores > 0;
    switch (c.tipo) {
    case TipoCampo::Logico:
        define('L', 1, 0);
        return f;
    case TipoCampo::Data:
        define('D', 8, 0);
        return f;
    default:
        break;
    }
    if (const MedidaNumero* m = MedidaDoTipo(c.tipo)) {
        if (p.numeros)
            numero(m->tamanho, m->decimaisMinimos);
        else
            texto();
        return f;
    }
    // Engines that type values rather than columns (SQLite) give the numbers' kind
    // only row by row.
    if (comValores && p.vieramComoNumero && p.numeros) {
        numero(p.decimais ? 16 : 10, 0);
        return f;
    }
    if (c.tipo == TipoCampo::Texto || c.tipo == TipoCampo::Bytes || c.tipo == TipoCampo::VarBytes) {
        if (comValores && p.datas && PodeSerData(c)) {
            define('D', 8, 0);
            return f;
        }
        if (comValores && p.numeros && (ComecaCom(f.Nome, "QT_") || ComecaCom(f.Nome, "VL_"))) {
            numero(1, 0);
            return f;
        }
    }
    texto();
    return f;
}

std::string ValorParaCampo(const CampoDBF& f, const std::string& texto, bool& cortado) {
    const std::size_t largura = f.Tamanho;
    switch (f.Tipo) {
    case 'D': {
        std::string data = DataDoTexto(texto);
        // A value that is no date the field can hold is lost: it counts as cut.
        if (data.empty() && !texto.empty()) cortado = true;
        return data;
    }
    case 'L': {
        if (texto.empty()) return {};
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(texto[0])));
        return (c == 'T' || c == 'Y' || c == '1') ? "T" : "F";
    }
    case 'N': {
        const auto d = LeDecimal(texto);
        if (!d) {
            if (!texto.empty()) cortado = true;
            return {};
        }
        std::string inteira = d->inteira;
        std::string fracao = d->fracao;
        if (fracao.size() > f.Decimais && !SoZeros(fracao.substr(f.Decimais))) cortado = true;
        // Rounded half away from zero on the digits themselves, as the value was written.
        ArredondaDigitos(inteira, fracao, f.Decimais);
        const bool zero = inteira.empty() && SoZeros(fracao);
        std::string r = (d->negativo && !zero ? "-" : "") + (inteira.empty() ? std::string("0") : inteira);
        if (f.Decimais) r += "." + fracao;
        if (r.size() > largura) {
            cortado = true;
            return {};
        }
        return r;
    }
    default:
        if (texto.size() > largura) {
            cortado = true;
            return texto.substr(0, largura);
        }
        return texto;
    }
}

std::string TextoRecebidos(std::int64_t n, const std::string& arquivo) {
    const std::size_t barra = arquivo.find_last_of('/');
    return "Recebidos " + std::to_string(n) + " registros de " +
           (barra == std::string::npos ? arquivo : arquivo.substr(barra + 1));
}

std::string TextoExecutadoMinutos(std::int64_t segundos) {
    return "Executado em " + std::to_string(segundos / 60) + " minutos e " + std::to_string(segundos % 60) +
           " segundos";
}

bool GravaConsultaDBF(MotorBD& motor, const std::string& alias, const std::string& arquivo,
                      const std::string& parametro, const std::vector<std::string>& linhas, const std::string& valor,
                      const ApoioGravaDBF& apoio) {
    const auto inicio = std::chrono::steady_clock::now();
    auto mostra = [&apoio](const std::string& t) {
        if (apoio.Mostra) apoio.Mostra(t);
    };
    auto cancelado = [&] {
        if (!apoio.Cancelado || !apoio.Cancelado()) return false;
        mostra("Grava\xE7\xE3o cancelada.");
        return true;
    };
    ConsultaBD q(motor);
    q.DatabaseName = alias;
    q.SQL = linhas;
    q.SomenteLeitura = apoio.ModoSeguro;
    const std::string nome = TiraBrancos(parametro);
    if (!nome.empty()) {
        std::optional<std::string> v;
        if (TiraBrancos(valor).empty())
            v = apoio.PerguntaParametro ? apoio.PerguntaParametro(nome) : std::nullopt;
        else
            v = valor;
        if (!v) return false;
        q.DefineParametro(nome, *v);
    }
    q.Abre();
    if (q.Fim()) {
        mostra("Nenhum registro selecionado!!");
        return false;
    }

    // The rows go first into a spool beside the file, and every column's values are
    // measured on the way.
    const int n = q.NumCampos();
    std::vector<CampoBD> colunas;
    for (int i = 0; i < n; ++i)
        colunas.push_back(q.Campo(i));
    std::vector<PerfilColuna> perfis(static_cast<std::size_t>(n));
    // Only a text column named for dates can become a date field: the others' values
    // need not be read as dates.
    for (int i = 0; i < n; ++i)
        perfis[static_cast<std::size_t>(i)].datas = PodeSerData(colunas[static_cast<std::size_t>(i)]);
    ArquivoProvisorio spool(NomeProvisorio(arquivo));
    std::int64_t recebidos = 0;
    {
        std::ofstream f(spool.Nome(), std::ios::binary | std::ios::trunc);
        if (!f) throw ErroES::DoSistema(spool.Nome(), errno);
        for (; !q.Fim(); q.Proximo()) {
            if (cancelado()) return false;
            for (int i = 0; i < n; ++i) {
                const std::optional<ValorBD> v = q.Valor(i);
                if (v) ObservaValor(perfis[static_cast<std::size_t>(i)], v->texto, v->tipo);
                GravaValor(f, !v, v ? v->texto : std::string());
            }
            ++recebidos;
            if (apoio.Eventos) apoio.Eventos(recebidos);
        }
        if (!f.flush()) throw ErroES::DoSistema(spool.Nome(), errno);
    }
    q.Fecha();

    std::vector<CampoDBF> campos;
    int tamanho = 0;
    for (int i = 0; i < n; ++i) {
        campos.push_back(CampoDaConsulta(colunas[static_cast<std::size_t>(i)], perfis[static_cast<std::size_t>(i)]));
        tamanho += campos.back().Tamanho;
    }
    if (static_cast<int>(campos.size()) > MaxCamposConsultaDBF || tamanho > MaxRegistroConsultaDBF) {
        MensagensAtuais().Mostra("O resultado tem " + std::to_string(campos.size()) + " campos e registro de " +
                                 std::to_string(tamanho) + " bytes: n\xE3o cabe num arquivo DBF.");
        return false;
    }

    // The file takes its name only when complete (CloseDBF): a cancel or a failure
    // on the way leaves what was there.
    dbfRecord dbf;
    std::int64_t cortados = 0;
    try {
        CreateDBF(dbf, arquivo, campos, 3);
        std::vector<char> reg(dbf.TamRegistro, ' ');
        std::ifstream f(spool.Nome(), std::ios::binary);
        if (!f) throw ErroES::DoSistema(spool.Nome(), errno);
        std::string t;
        bool nulo = false;
        for (std::int64_t r = 0; r < recebidos; ++r) {
            if (cancelado()) {
                AbandonaDBF(dbf);
                return false;
            }
            for (int i = 0; i < n; ++i) {
                if (!LeValor(f, nulo, t)) throw ErroES::DoSistema(spool.Nome(), EIO);
                bool cortado = false;
                const CampoDBF& campo = campos[static_cast<std::size_t>(i)];
                // A logical without value is '?', as dBase leaves it.
                const std::string v =
                    nulo ? std::string(campo.Tipo == 'L' ? "?" : "") : ValorParaCampo(campo, t, cortado);
                if (cortado) ++cortados;
                PutFieldDBF(dbf, i + 1, v, reg.data());
            }
            AppendDBF(dbf, reg.data());
            if (apoio.Eventos) apoio.Eventos(recebidos);
        }
        CloseDBF(dbf);
    } catch (...) {
        AbandonaDBF(dbf);
        throw;
    }
    mostra(TextoExecutadoMinutos(SegundosDesde(inicio)));
    if (cortados)
        MensagensAtuais().Mostra(std::to_string(cortados) +
                                 (cortados == 1 ? " valor foi cortado" : " valores foram cortados") +
                                 " para caber nos campos de " + arquivo);
    return true;
}

std::string ExecutaLote(const std::string& arquivo, const ApoioLote& apoio) {
    const auto inicio = std::chrono::steady_clock::now();
    std::ifstream f(arquivo, std::ios::binary);
    if (!f) throw ErroES::DoSistema(arquivo, errno);
    std::vector<std::pair<std::string, std::string>> pares;
    int gravados = 0;
    std::string linha;
    while (std::getline(f, linha)) {
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        if (linha.empty() || linha[0] == '#') continue;
        const std::string comeco = MaiusculasAscii(linha.substr(0, 7));
        if (comeco == "CONECTA") {
            if (apoio.Conecta) apoio.Conecta(TiraBrancos(linha.substr(7)));
        } else if (const std::size_t igual = linha.find('='); igual != std::string::npos) {
            pares.emplace_back(linha.substr(0, igual), linha.substr(igual + 1));
        } else if (comeco == "INFORME") {
            const std::string nome = TiraBrancos(linha.substr(7));
            const auto v = apoio.Pergunta ? apoio.Pergunta(nome) : std::nullopt;
            if (!v) break;
            pares.emplace_back(nome, TiraBrancos(*v));
        } else {
            for (const auto& [n, v] : pares)
                if (!n.empty()) linha = SubstituiTodos(linha, n, v);
            std::string partes[3];
            std::size_t p = 0;
            for (int k = 0; k < 3; ++k) {
                const std::size_t virgula = k < 2 ? linha.find(',', p) : std::string::npos;
                if (p <= linha.size())
                    partes[k] =
                        TiraBrancos(linha.substr(p, virgula == std::string::npos ? std::string::npos : virgula - p));
                p = virgula == std::string::npos ? linha.size() + 1 : virgula + 1;
            }
            if (apoio.Executa && apoio.Executa(partes[0], partes[1], partes[2])) ++gravados;
        }
    }
    if (f.bad()) throw ErroES::DoSistema(arquivo, errno);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - inicio).count();
    return std::to_string(gravados) + " arquivos gravados em " + std::to_string(ms / 60000) + ":" +
           std::to_string((ms / 1000) % 60) + " minutos";
}

std::string CondicaoCNV(const std::string& linha, int largura, const std::string& expressao) {
    std::string codigos = linha.size() > 60 ? TiraBrancosDir(linha.substr(60)) : std::string();
    if (!codigos.empty() && codigos.back() == ',') codigos.pop_back();
    codigos = codigos.substr(0, codigos.find(';'));
    const std::size_t w = static_cast<std::size_t>(std::max(largura, 0));
    std::vector<std::string> simples;
    std::vector<std::pair<std::string, std::string>> faixas;
    std::size_t p = 0;
    while (p <= codigos.size()) {
        const std::size_t v = codigos.find(',', p);
        const std::string item = codigos.substr(p, v == std::string::npos ? std::string::npos : v - p);
        if (item.size() == w)
            simples.push_back(item);
        else
            faixas.emplace_back(item.substr(0, w), item.size() > w + 1 ? item.substr(w + 1, w) : std::string());
        if (v == std::string::npos) break;
        p = v + 1;
    }
    std::string c;
    for (std::size_t k = 0; k < faixas.size(); ++k) {
        if (k > 0) c += " or ";
        c += " " + expressao + " between '" + faixas[k].first + "' and '" + faixas[k].second + "' ";
    }
    if (!faixas.empty() && !simples.empty()) c += " or ";
    if (simples.size() == 1) {
        c += " " + expressao + " = '" + simples[0] + "' ";
    } else if (simples.size() > 1) {
        c += " " + expressao + " in(";
        for (std::size_t k = 0; k < simples.size(); ++k)
            c += (k ? ",'" : "'") + simples[k] + "'";
        c += ") ";
    }
    return c;
}

} // namespace dorvan

namespace dorvan {

TabelaCNVCase LeCNVParaCase(const std::string& arquivo) {
    TextoCNV texto;
    if (!LeTextoCNV(arquivo, texto)) throw std::runtime_error(ErroTabela);
    TabelaCNVCase t;
    t.numCategorias = static_cast<int>(texto.NumCategorias);
    t.largura = texto.CompCodigo;
    t.linhas = std::move(texto.Linhas);
    return t;
}

std::string RotuloCNV(const std::string& linha) { return linha.size() > 9 ? TiraBrancos(linha.substr(9, 50)) : ""; }

namespace {

std::string NomeAtePonto(const std::string& arquivo) {
    const std::size_t barra = arquivo.find_last_of('/');
    const std::string nome = barra == std::string::npos ? arquivo : arquivo.substr(barra + 1);
    return nome.substr(0, nome.find('.'));
}

} // namespace

CaseEmLinhas CaseLinhas(const TabelaCNVCase& cnv, const PedidoCase& p) {
    CaseEmLinhas r;
    r.substituiEditor = p.groupBy;
    std::vector<std::string> casos;
    casos.push_back("  case");
    for (const auto& l : cnv.linhas)
        casos.push_back("    when" + CondicaoCNV(l, cnv.largura, p.expressao) + "then " +
                        EntreAspasDobradas(RotuloCNV(l), '\''));
    switch (p.naoClassificados) {
    case NaoClassificados::Ignorar:
        casos.push_back("    else '~ Ignorar'");
        break;
    case NaoClassificados::Incluir:
        casos.push_back("    else '~ N\xE3o classificado'");
        break;
    case NaoClassificados::Discriminar:
        casos.push_back("    else " + p.colunaJanela);
        break;
    }
    r.linhas = casos;
    r.linhas.push_back("  end as \"" + NomeAtePonto(p.arquivoCNV) + "\",");
    if (p.groupBy) {
        r.linhaCursor = static_cast<int>(r.linhas.size());
        r.linhas.push_back("  count(*) as Total");
        r.linhas.push_back("from " + p.tabela);
        if (p.oracle) {
            r.linhas.push_back("group by");
            r.linhas.insert(r.linhas.end(), casos.begin(), casos.end());
            r.linhas.push_back("  end");
        } else {
            r.linhas.push_back("group by 1");
        }
        // Categories in order; where the rest lands depends on the engine's collation.
        r.linhas.push_back("order by 1");
    }
    return r;
}

std::string CaseColunas(const TabelaCNVCase& cnv, const PedidoCase& p) {
    std::string s;
    for (const auto& l : cnv.linhas) {
        const std::string cond = CondicaoCNV(l, cnv.largura, p.expressao);
        const std::string valor = p.contagem ? "1" : p.colunaSoma;
        s += std::string(p.contagem ? "  count" : "  sum") + "(case when " + cond + " then " + valor + " end) as \"" +
             RotuloCNV(l) + "\",\n";
    }
    return s;
}

std::string CaseSelecao(const std::string& texto, std::size_t posCursor, const std::string& linhaCNV, int largura,
                        const std::string& expressao) {
    const std::string cond = CondicaoCNV(linhaCNV, largura, expressao);
    std::string minusculo = texto;
    for (char& c : minusculo)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const std::size_t where = minusculo.find("where ");
    if (where != std::string::npos) {
        std::string r = texto;
        r.insert(where + 6, "(" + cond + ")\n  and ");
        return r;
    }
    std::string r = texto;
    r.insert(std::min(posCursor, r.size()), "where" + cond);
    return r;
}

} // namespace dorvan
