#pragma once
// Compound files (structured storage): a small file system inside one file, made
// of 512-byte sectors chained through an allocation table, with a directory of
// named streams. Spreadsheet workbooks are stored this way. We only ever write a
// few streams at once, so the whole file is laid out in memory and written in one
// safe pass.
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// One stream of the root storage. Names are ASCII, at most 31 characters.
struct FluxoComposto {
    std::string Nome;
    std::string Dados;
};

// The bytes of a compound file (version 3) holding these streams in its root.
// Streams under 4096 bytes go into the mini stream, as readers expect them.
// Throws std::invalid_argument for a bad or repeated name.
std::string MontaArquivoComposto(const std::vector<FluxoComposto>& fluxos);

// Writes MontaArquivoComposto into a file through GravacaoSegura; throws ErroES.
void GravaArquivoComposto(const std::string& arquivo, const std::vector<FluxoComposto>& fluxos);

// Strict reading of the stream `nome` of the root storage (name compared without
// regard to ASCII case). Checks the header, every chain (no loops, no sector
// outside the file, lengths matching the stated sizes) and the directory tree.
// Throws std::runtime_error describing the first fault; used to verify what we write.
std::string LeFluxoComposto(std::string_view arquivo, std::string_view nome);

// The names of the root storage's streams, in directory order.
std::vector<std::string> ListaFluxosCompostos(std::string_view arquivo);

} // namespace dorvan
