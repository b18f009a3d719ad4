// The help pages where the program looks for them: every page its help commands
// open is there, every link and picture in them resolves, and every caption or
// message they quote (<code class="ui">) is one of the program's own texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path PastaPrograma = fs::path(DORVAN_BINARY_DIR) / "bin";
const char* const Paginas[] = {"Dorvan32.htm", "DEFCNV.htm", "DocDorvan.htm"};

std::string Le(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void AcrescentaUtf8(std::string& s, unsigned c) {
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The string literals of a C++ source, adjacent ones joined, in UTF-8: "\xNN" is a
// code page 1252 byte (the program's texts; its accented letters are Latin-1's),
// "\uNNNN" a code point, other bytes the file's own UTF-8.
std::vector<std::string> Literais(const std::string& fonte) {
    std::vector<std::string> r;
    std::string atual;
    bool aberto = false; // a literal that the next one may continue
    std::size_t i = 0;
    while (i < fonte.size()) {
        char c = fonte[i];
        if (c == '/' && i + 1 < fonte.size() && fonte[i + 1] == '/') {
            i = fonte.find('\n', i);
            if (i == std::string::npos) break;
            continue;
        }
        if (c == '/' && i + 1 < fonte.size() && fonte[i + 1] == '*') {
            i = fonte.find("*/", i + 2);
            if (i == std::string::npos) break;
            i += 2;
            continue;
        }
        if (c == '\'') { // a character literal
            i += 1;
            while (i < fonte.size() && fonte[i] != '\'')
                i += fonte[i] == '\\' ? 2 : 1;
            ++i;
            continue;
        }
        if (c == '"') {
            if (!aberto) atual.clear();
            ++i;
            while (i < fonte.size() && fonte[i] != '"') {
                if (fonte[i] != '\\') {
                    atual += fonte[i++];
                    continue;
                }
                char e = fonte[i + 1];
                i += 2;
                if (e == 'x') {
                    std::size_t f = i;
                    while (f < fonte.size() && f - i < 2 && std::isxdigit(static_cast<unsigned char>(fonte[f])))
                        ++f;
                    AcrescentaUtf8(atual, static_cast<unsigned>(std::stoul(fonte.substr(i, f - i), nullptr, 16)));
                    i = f;
                } else if (e == 'u') {
                    AcrescentaUtf8(atual, static_cast<unsigned>(std::stoul(fonte.substr(i, 4), nullptr, 16)));
                    i += 4;
                } else if (e == 'n') {
                    atual += '\n';
                } else if (e == 't') {
                    atual += '\t';
                } else {
                    atual += e;
                }
            }
            ++i;
            aberto = true;
            continue;
        }
        if (aberto && !std::isspace(static_cast<unsigned char>(c))) {
            r.push_back(atual);
            aberto = false;
        }
        ++i;
    }
    if (aberto) r.push_back(atual);
    return r;
}

// Every text the program's sources hold (the sample generator's too: the guide walks
// through its DEF), accelerator marks removed.
const std::vector<std::string>& TextosDoPrograma() {
    static const std::vector<std::string> textos = [] {
        std::vector<std::string> t;
        for (const char* pasta : {"src", "tools"}) {
            for (const auto& e : fs::recursive_directory_iterator(fs::path(DORVAN_SOURCE_DIR) / pasta)) {
                const auto ext = e.path().extension();
                if (ext != ".cpp" && ext != ".h") continue;
                for (std::string l : Literais(Le(e.path()))) {
                    std::erase(l, '&');
                    t.push_back(std::move(l));
                }
            }
        }
        return t;
    }();
    return textos;
}

bool DoPrograma(const std::string& trecho) {
    const auto& t = TextosDoPrograma();
    return std::any_of(t.begin(), t.end(), [&](const std::string& l) { return l.find(trecho) != std::string::npos; });
}

std::string SemEntidades(std::string s) {
    s = std::regex_replace(s, std::regex("<[^>]*>"), "");
    const std::pair<const char*, const char*> entidades[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&nbsp;", " "}, {"&amp;", "&"}};
    for (const auto& [de, para] : entidades)
        for (std::size_t p; (p = s.find(de)) != std::string::npos;)
            s.replace(p, std::string(de).size(), para);
    return std::regex_replace(s, std::regex("\\s+"), " ");
}

std::set<std::string> Ancoras(const std::string& html) {
    std::set<std::string> r;
    std::regex re("\\s(?:id|name)=\"([^\"]+)\"");
    for (std::sregex_iterator i(html.begin(), html.end(), re), f; i != f; ++i)
        r.insert((*i)[1]);
    return r;
}

TEST(Ajuda, EveryPageTheProgramOpensIsBesideItWithItsLinksAndPicturesResolving) {
    for (const char* pagina : Paginas) {
        SCOPED_TRACE(pagina);
        // The name is the one the program asks for.
        ASSERT_TRUE(DoPrograma(pagina));
        const fs::path arquivo = PastaPrograma / pagina;
        ASSERT_TRUE(fs::is_regular_file(arquivo));
        const std::string html = Le(arquivo);
        EXPECT_NE(html.find("<title>"), std::string::npos);
        std::regex re("\\s(href|src)=\"([^\"]*)\"");
        int locais = 0;
        for (std::sregex_iterator i(html.begin(), html.end(), re), f; i != f; ++i) {
            const std::string alvo = (*i)[2];
            SCOPED_TRACE(alvo);
            if (alvo.rfind("http", 0) == 0 || alvo.rfind("mailto:", 0) == 0) continue;
            ++locais;
            const std::size_t cerquilha = alvo.find('#');
            const std::string nome = alvo.substr(0, cerquilha);
            const fs::path destino = nome.empty() ? arquivo : PastaPrograma / nome;
            ASSERT_TRUE(fs::is_regular_file(destino));
            if ((*i)[1] == "src") {
                EXPECT_EQ(destino.extension(), ".png");
                EXPECT_LT(fs::file_size(destino), 120u * 1024u) << "a picture of the help stays small";
            }
            if (cerquilha != std::string::npos) {
                EXPECT_TRUE(Ancoras(Le(destino)).count(alvo.substr(cerquilha + 1)));
            }
        }
        EXPECT_GT(locais, 0);
    }
}

TEST(Ajuda, EveryQuotedCaptionAndMessageIsTheProgramsOwn) {
    // Parts that vary (names, numbers) are written "…" in the help.
    const std::string reticencias = "\xE2\x80\xA6";
    std::size_t citados = 0;
    for (const char* pagina : Paginas) {
        const std::string html = Le(PastaPrograma / pagina);
        std::regex re("<code class=\"ui\">([\\s\\S]*?)</code>");
        for (std::sregex_iterator i(html.begin(), html.end(), re), f; i != f; ++i) {
            std::string texto = SemEntidades((*i)[1]);
            std::size_t p = 0;
            while (p <= texto.size()) {
                std::size_t q = texto.find(reticencias, p);
                if (q == std::string::npos) q = texto.size();
                std::string parte = texto.substr(p, q - p);
                if (parte.find_first_not_of(' ') != std::string::npos) {
                    EXPECT_TRUE(DoPrograma(parte)) << pagina << ": \"" << parte << "\"";
                    ++citados;
                }
                p = q + reticencias.size();
            }
        }
    }
    EXPECT_GT(citados, 50u);
}

TEST(Ajuda, TheSourceReaderDecodesTheProgramsWaysOfWritingAccents) {
    const auto l =
        Literais("a = \"Gr\\xE1\" \"fico\"; // \"nao\"\nb(QStringLiteral(\"Sele\\u00E7\\u00E3o\"), 'x', \"ok\");");
    EXPECT_EQ(l, (std::vector<std::string>{"Gr\xC3\xA1"
                                           "fico",
                                           "Sele\xC3\xA7\xC3\xA3o", "ok"}));
}

} // namespace
