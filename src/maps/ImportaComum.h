#pragma once
// What the foreign-map readers share: a line reader that knows where it is, strict
// integers, vertex limits and the label rules.
#include "maps/ArquivoMapa.h"
#include "maps/Importadores.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan::importa {

// The lines of a whole text file; a LF ends a line and a CR before it is dropped.
class LinhasTexto {
public:
    explicit LinhasTexto(std::string nome); // throws ErroES when it cannot be read
    bool Le(std::string& linha);            // false at the end of the file
    void Devolve();                         // the line read last comes again
    void Reinicia();
    bool Fim() const { return pos_ >= dados_.size() && !devolvida_; }
    long Numero() const { return numero_; } // 1-based number of the line read last
    const std::string& Nome() const { return nome_; }
    // Throws ErroES "linha <n>: <motivo>" for this file.
    [[noreturn]] void Falha(const std::string& motivo) const;
    // The next line, or a failure when the file ended where one was needed.
    std::string Exige(const char* oQue);

private:
    std::string nome_;
    std::string dados_;
    std::size_t pos_ = 0;
    std::size_t posAnterior_ = 0;
    long numero_ = 0;
    bool devolvida_ = false;
};

// A whole-text integer (blanks around allowed), or nothing.
bool TextoInteiro(std::string_view s, long long& valor);
// The same, 0 when the text is not an integer.
long long InteiroOuZero(std::string_view s);
// The same, failing with the line when the text is not an integer.
long long Inteiro(std::string_view s, const LinhasTexto& l);
// The coordinate reader: the longest number at the start, 0 for none.
float Coordenada(std::string_view s);

// "x,y" split at the first comma (or at blanks when separador is ' ').
PontoMapa PontoVirgula(const std::string& linha);
PontoMapa PontoBrancos(const std::string& linha);

// Appends a vertex while the record holds fewer than MaxPontosMapa; false once full.
bool Acrescenta(RegistroMapa& r, PontoMapa p);

// Kind from count (one vertex: a point) and the label by the kind: a point at its
// vertex, a polyline at vertex n div 2, an area at its interior point.
void TipoPelaContagem(RegistroMapa& r, std::uint8_t tipoProprio);
void RotuloPelasRegras(RegistroMapa& r);

// Plain truncation to the field widths.
void CortaTextos(RegistroMapa& r);

// The fields of a line split at every separator (n separators give n + 1 fields).
std::vector<std::string> Campos(const std::string& linha, char separador);

// One leading and one trailing double quote removed.
std::string TiraAspas(std::string s);

// The message of a record cut to the vertices a record holds.
void AvisaTruncado(const std::string& nome, long long pontos);

// The ".MID"/".DBF" beside a file: its name ignoring case, or the plain name.
std::string Companheiro(const std::string& arquivo, const std::string& extensao);

EscolhaCampos Escolhe(const EscolheNomeFn& f, const std::vector<std::string>& candidatos, EscolhaCampos padrao);

// The candidate at index i, or empty text.
const std::string& Item(const std::vector<std::string>& v, int i);

} // namespace dorvan::importa
