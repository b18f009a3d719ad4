// The DEF reader, the selection lists and the small routines around them.
#include "tabulation/Utabula.h"

#include "data/Index.h"
#include "data/UConvert.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

namespace dorvan {

std::string DirMapas;

DefTabulacao& DefAtual() {
    static DefTabulacao def;
    return def;
}

namespace {

std::string Pasta(const std::string& caminho) {
    std::string c = BarrasNormais(caminho);
    std::size_t barra = c.find_last_of('/');
    return barra == std::string::npos ? std::string() : c.substr(0, barra + 1);
}

std::string SemPasta(const std::string& caminho) {
    std::string c = BarrasNormais(caminho);
    std::size_t barra = c.find_last_of('/');
    return barra == std::string::npos ? c : c.substr(barra + 1);
}

bool Existe(const std::string& nome) { return !nome.empty() && !ResolveNome(nome).empty(); }

std::string Extensao(const std::string& nome) {
    std::string s = SemPasta(nome);
    std::size_t p = s.find_last_of('.');
    return p == std::string::npos ? std::string() : MaiusculasAscii(s.substr(p));
}

} // namespace

std::string NaPastaDEF(const DefTabulacao& def, const std::string& nome) {
    std::string n = BarrasNormais(nome);
    if (n.empty() || n[0] == '/' || def.PastaDEF.empty()) return n;
    return def.PastaDEF + n;
}

void AplicaLinhaDEF(DefTabulacao& def, std::string_view linha, bool sqlDisponivel) {
    if (linha.size() > 255) linha = linha.substr(0, 255);
    if (linha.empty()) return;
    char diretiva = linha[0];
    if (diretiva >= 'a' && diretiva <= 'z') diretiva = static_cast<char>(diretiva - 32);
    const std::string arg(linha.substr(1));
    switch (diretiva) {
    case ';':
        if (!def.TituloLido) def.Titulo1 = arg.substr(0, 80);
        def.TituloLido = true;
        break;
    case '?':
    case 'H': {
        def.AjudaDEF = arg;
        if (!Existe(NaPastaDEF(def, arg))) def.AjudaDEF = def.PastaDEF + SemPasta(arg);
        def.AjudaVisivel = Existe(NaPastaDEF(def, def.AjudaDEF));
        break;
    }
    case 'A': {
        std::string resto = arg, curinga;
        CortaItem(resto, 255, curinga);
        def.EspecArquivos = TiraBrancos(curinga);
        std::string consulta = TiraBrancos(resto);
        if (!consulta.empty()) {
            def.ArquivoConsulta = (Pasta(def.EspecArquivos) + consulta).substr(0, 255);
            std::string ext = Extensao(def.ArquivoConsulta);
            if (ext == ".SQL" || ext == ".XML")
                def.FlagConsulta = Existe(NaPastaDEF(def, def.ArquivoConsulta)) && sqlDisponivel;
        }
        break;
    }
    case 'L':
    case 'D':
        def.ListLinha.push_back(FormataTitulo(linha));
        break;
    case 'C':
        def.ListColunas.push_back(FormataTitulo(linha));
        break;
    case 'S':
        def.ListInicial.push_back(FormataTitulo(linha));
        break;
    case 'T':
    case 'X': {
        std::string item = FormataTitulo(linha);
        def.ListLinha.push_back(item);
        def.ListColunas.push_back(item);
        if (diretiva == 'X') def.ListInicial.push_back(item);
        break;
    }
    case 'I':
    case 'E':
        def.ListIncr.push_back(FormataTitulo(linha));
        break;
    case 'G':
        def.ListIncr[0] += arg;
        break;
    case 'R':
        def.Rodape = arg.substr(0, 80);
        def.TemPeriodo = MaiusculasSemAcento(def.Rodape).find("PERIODO") != std::string::npos;
        break;
    default: // 'Q' and anything else: no reader acts on them
        break;
    }
}

bool LeDEF(DefTabulacao& def, const std::string& arquivo, bool sqlDisponivel) {
    def.ArquivoDEF = arquivo;
    if (arquivo == def.UltimoDEF) return false;
    std::string real = ResolveNome(arquivo);
    if (real.empty()) real = arquivo;
    std::string texto = LeArquivoInteiro(real); // throws ErroES

    def.UltimoDEF = arquivo;
    // The dialog makes the DEF's folder current, so names relative to the folder the
    // program started in would no longer be found: keep the folder absolute.
    std::error_code ec;
    const std::filesystem::path absoluto = std::filesystem::absolute(real, ec);
    def.PastaDEF = Pasta(ec ? real : absoluto.lexically_normal().string());
    DirTabelas = def.PastaDEF.empty() ? std::string(".") : def.PastaDEF.substr(0, def.PastaDEF.size() - 1);

    LiberaSelecao(def);
    for (auto& d : def.Dimensoes) LiberaDimensao(d);
    def.ListLinha.clear();
    def.ListColunas.assign(1, ItemNaoAtiva);
    def.ListIncr.assign(1, ItemFrequencia);
    def.ListInicial.clear();
    def.ListSelecao.clear();
    def.AjudaDEF.clear();
    def.AjudaVisivel = false;
    def.Titulo1.clear();
    def.TituloLido = false;
    def.Rodape.clear();
    def.TemPeriodo = false;
    def.EspecArquivos.clear();
    // A DEF without a query file offers no import, whatever the previous one did.
    def.ArquivoConsulta.clear();
    def.FlagConsulta = false;

    for (const auto& linha : LinhasDoTexto(texto, 255)) AplicaLinhaDEF(def, linha, sqlDisponivel);
    return true;
}

std::vector<std::string> LinhasDoTexto(std::string_view texto, std::size_t limite) {
    std::vector<std::string> r;
    std::size_t i = 0;
    while (i < texto.size()) {
        std::size_t fim = texto.find_first_of("\r\n", i);
        if (fim == std::string_view::npos) fim = texto.size();
        r.emplace_back(texto.substr(i, std::min(fim - i, limite)));
        i = fim;
        if (i < texto.size() && texto[i] == '\r') ++i;
        if (i < texto.size() && texto[i] == '\n') ++i;
    }
    return r;
}

void LiberaSelecao(DefTabulacao& def) {
    for (int i = 0; i < def.NumSelecoes && i < MaxSelecoes; ++i) LiberaDimensao(def.Selecao(i));
    def.NumSelecoes = 0;
}

int Seleciona(DefTabulacao& def, int i) {
    if (i < 0 || i >= static_cast<int>(def.ListInicial.size())) return -1;
    if (static_cast<int>(def.ListSelecao.size()) >= MaxSelecoes) {
        MensagensAtuais().Mostra("M\xE1ximo de " + std::to_string(MaxSelecoes) + " sele\xE7\xF5" "es ativas");
        return -1;
    }
    std::string item = def.ListInicial[static_cast<std::size_t>(i)];
    def.ListInicial.erase(def.ListInicial.begin() + i);
    def.ListSelecao.push_back(item);
    int pos = static_cast<int>(def.ListSelecao.size()) - 1;
    TDimensao& d = def.Selecao(pos);
    LiberaDimensao(d);
    if (!LeDimensao(item, MaximoLinhas, d)) {
        def.ListSelecao.pop_back();
        def.ListInicial.push_back(item);
        return -1;
    }
    std::fill(d.Marcadas.begin(), d.Marcadas.end(), std::uint8_t{0});
    def.NumSelecoes = static_cast<std::int32_t>(def.ListSelecao.size());
    return pos;
}

void DeSeleciona(DefTabulacao& def, int i) {
    const int n = static_cast<int>(def.ListSelecao.size());
    if (i < 0 || i >= n) return;
    def.ListInicial.push_back(def.ListSelecao[static_cast<std::size_t>(i)]);
    LiberaDimensao(def.Selecao(i));
    for (int k = i; k + 1 < n; ++k) def.Selecao(k) = std::move(def.Selecao(k + 1));
    def.Selecao(n - 1) = TDimensao{};
    def.ListSelecao.erase(def.ListSelecao.begin() + i);
    def.NumSelecoes = static_cast<std::int32_t>(def.ListSelecao.size());
}

std::string PastaDaCuringa(const DefTabulacao& def) {
    std::string pasta = Pasta(NaPastaDEF(def, def.EspecArquivos));
    if (pasta.empty()) return pasta;
    std::string real = ResolveNome(pasta);
    if (real.empty()) return pasta;
    if (real.back() != '/') real += '/';
    return real;
}

std::vector<std::string> ListaArquivosDEF(const DefTabulacao& def) {
    std::string pasta = PastaDaCuringa(def);
    std::string padrao = SemPasta(def.EspecArquivos);
    std::vector<std::string> nomes;
    if (padrao.empty()) return nomes;
    std::vector<std::string> achados = ListaArquivos(pasta, padrao);
    if (achados.empty()) return nomes;
    TIndice indice;
    CriaIndice(indice, MaxArquivosLista);
    for (const auto& n : achados) InsereIndice(indice, MaiusculasAscii(n), 0);
    for (std::int32_t k = 1; k <= indice.Quantidade(); ++k) nomes.push_back(indice.Chave(k));
    return nomes;
}

std::string NomeReal(const std::string& pasta, const std::string& nome) {
    std::string real = ResolveNome(pasta + nome);
    return real.empty() ? pasta + nome : real;
}

std::string SoDigitos(std::string_view nome) {
    std::string r;
    for (char c : nome)
        if (c >= '0' && c <= '9') r += c;
    return r;
}

std::string TextoPeriodo(const std::vector<std::string>& digitos) {
    static const char* const kMeses[12] = {"Jan", "Fev", "Mar", "Abr", "Mai", "Jun",
                                           "Jul", "Ago", "Set", "Out", "Nov", "Dez"};
    struct Faixa {
        long inicio, fim; // months counted as year x 12 + month - 1
    };
    std::vector<Faixa> faixas;
    for (const auto& d : digitos) {
        if (d.empty()) continue;
        std::string t = (d[0] > '4' ? "19" : "20") + d;
        long ano = 0;
        for (std::size_t i = 0; i < 4 && i < t.size(); ++i) ano = ano * 10 + (t[i] - '0');
        long inicio, fim;
        if (t.size() == 4) {
            inicio = ano * 12;
            fim = inicio + 11;
        } else {
            if (t.size() < 6) continue;
            long mes = (t[4] - '0') * 10 + (t[5] - '0');
            if (mes < 1 || mes > 12) continue; // no such month: left out, not guessed
            inicio = fim = ano * 12 + mes - 1;
        }
        if (!faixas.empty() && inicio == faixas.back().fim + 1)
            faixas.back().fim = fim;
        else
            faixas.push_back({inicio, fim});
    }
    bool anosInteiros = std::all_of(faixas.begin(), faixas.end(),
                                    [](const Faixa& f) { return f.inicio % 12 == 0 && f.fim % 12 == 11; });
    std::string r;
    for (const auto& f : faixas) {
        if (!r.empty()) r += ',';
        long anoIni = f.inicio / 12, anoFim = f.fim / 12;
        if (anosInteiros) {
            r += std::to_string(anoIni);
            if (anoFim > anoIni) r += "-" + std::to_string(anoFim);
            continue;
        }
        r += kMeses[f.inicio % 12];
        if (anoFim != anoIni || f.fim == f.inicio) r += "/" + std::to_string(anoIni);
        if (f.fim > f.inicio) r += std::string("-") + kMeses[f.fim % 12] + "/" + std::to_string(anoFim);
    }
    return r.substr(0, 255);
}

std::string DescricaoDaTabela(const std::string& nome) {
    std::string d = ParaMinusculas(nome.substr(0, nome.find('.')).substr(0, 18));
    if (!d.empty()) {
        unsigned char c = static_cast<unsigned char>(d[0]);
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) d[0] = static_cast<char>(c - 0x20);
    }
    for (std::size_t i = 1; i < d.size(); ++i)
        if (d[i] == '_') d[i] = ' ';
    return d;
}

std::string NomeMapaDaTabela(const std::string& arquivoTabela, const std::string& pastaMapas,
                             const std::string& atual) {
    std::string nome = SemPasta(arquivoTabela);
    std::string m = MaiusculasAscii(nome);
    std::string pasta = BarrasNormais(pastaMapas);
    if (!pasta.empty() && pasta.back() != '/') pasta += '/';
    auto parte = [&](std::size_t de) { return de < nome.size() ? nome.substr(de, 2) : std::string(); };
    if (m == "UF.CNV") return pasta + "brasil.map";
    if (m.starts_with("MUNIC")) return pasta + parte(5) + ".map";
    if (m.starts_with("MICRO")) return pasta + parte(5) + "mic.map";
    if (m.starts_with("MESO")) return pasta + parte(4) + "meso.map";
    if (m.starts_with("RSAUD")) return pasta + parte(5) + "reg.map";
    return atual;
}

} // namespace dorvan
