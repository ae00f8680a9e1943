#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>

// Request blocks of the gateway's information requests and the binary records they carry (line
// records of generation-500 servers, their general record, application records). Used by the line
// windows and by the simulator, so it holds no widget and no gateway call.
//
// A block is 8704 bytes: a 512-byte header, then the data part. All fields are little-endian.
namespace Bloc {
inline constexpr int Taille = 8704;        // whole block; also the reply buffer size
inline constexpr int TailleEntete = 512;   // header; every reply is at least this long
inline constexpr int DebutData = 512;      // first byte of the data part
inline constexpr int LongueurCourte = 512; // request length of the requests that carry no data

// Request fields (32-bit).
inline constexpr int Code = 8;     // request code
inline constexpr int Param12 = 12; // request kind (table, write mode)
inline constexpr int Param16 = 16; // application code
inline constexpr int Premier = 32; // first record index
inline constexpr int Nombre = 36;  // record count

// Reply fields (32-bit).
inline constexpr int Statut = 256;         // 0 = good
inline constexpr int PremierRep = 264;     // first record index of the page
inline constexpr int DernierRep = 268;     // index after the page's last record (count = last - first)
inline constexpr int NombreRep = 272;      // record count, meaningful when the status is 2
inline constexpr int NomApplication1 = 40; // reply to request 1: application name, 16 characters
} // namespace Bloc

namespace CodeRequete {
inline constexpr quint32 TableApplications = 0;
inline constexpr quint32 NomApplication = 1;
inline constexpr quint32 Application = 5;
inline constexpr quint32 EcritureGeneral = 100;
inline constexpr quint32 LectureGeneral = 101;
inline constexpr quint32 EcritureVoies = 102;
inline constexpr quint32 LectureVoies = 103;
inline constexpr quint32 RechargeLignes = 105; // generation 900: take the new line file into account
} // namespace CodeRequete

// Most records one reply may hold.
inline constexpr int MaxApplicationsParPage = 157;
inline constexpr int MaxVoiesParPage = 96;

// 32-bit and 16-bit little-endian fields. Reads outside the bytes give 0; writes outside do nothing.
quint32 lireU32(QByteArrayView bytes, qsizetype offset);
quint16 lireU16(QByteArrayView bytes, qsizetype offset);
void ecrireU32(QByteArray& bytes, qsizetype offset, quint32 value);
void ecrireU16(QByteArray& bytes, qsizetype offset, quint16 value);

// Prepares `bloc` for a new request: 8704 bytes, header zeroed, data part kept.
void Clear_Bloc_Entete(QByteArray& bloc);
// Empties the data part (zeroes) of an 8704-byte block; the header is kept.
void Clear_Bloc_Data(QByteArray& bloc);

// Server characters -> text: one byte per character in the system ANSI code page, ending at the first
// NUL or 0xFF byte.
QString conv_wexa_string(QByteArrayView champ);
// Text -> server characters into `champ[0 .. longueur)`: cut to the field, NUL-padded; an empty text
// is written as 0xFF bytes (the server's "no value").
void conv_string_wexa(const QString& texte, char* champ, int longueur);

// General record of the line table, 800 bytes. The codec reads and writes only the number of lines,
// a 16-bit field at bytes 0-1; every other byte travels unchanged between read and write.
struct ParVoieT2c {
    static constexpr int Taille = 800;
    static constexpr int OffNombreVoies = 0;
    std::array<char, Taille> octets{};

    int nombreVoies() const;
    void setNombreVoies(int n);
};

// Line record (one line of the server: a range of numbers and the application answering it), 50 bytes.
struct VoieT2cs {
    static constexpr int Taille = 50;
    static constexpr int TailleNumero = 20;  // characters of the first and last numbers
    static constexpr quint16 Aucun = 0xFFFF; // a 16-bit code that is not set

    std::array<char, TailleNumero> premier; // bytes 0-19, server characters; first byte 0xFF = empty
    std::array<char, TailleNumero> dernier; // bytes 20-39
    quint16 application = Aucun;            // bytes 40-41
    quint16 code2 = Aucun;                  // bytes 42-43
    quint16 code3 = Aucun;                  // bytes 44-45
    std::array<char, 4> reste;              // bytes 46-49, carried unchanged

    VoieT2cs(); // a free record: bytes 0-49 all 0xFF

    // Free: bytes 0-45 all 0xFF.
    bool estLibre() const;
    // In use: first number, last number, application or second code set.
    bool estUtilisee() const;

    QString premierTexte() const;
    QString dernierTexte() const;
    void setPremier(const QString& texte);
    void setDernier(const QString& texte);

    bool operator==(const VoieT2cs&) const = default;
};

// Application record of the server's application table, 52 bytes; fields as texts.
struct EnregApplication {
    static constexpr int Taille = 52;
    QString code;   // bytes 0-5
    QString nom;    // bytes 6-21
    QString code2;  // bytes 36-41
    QString champ4; // bytes 42-51
};

// Why a reply was refused. Nothing is read from a refused reply.
enum class ErreurReponse {
    Aucune,
    TropCourte,           // shorter than its header (or than the single record it must carry)
    Statut,               // status not 0
    IndexInverses,        // last index below first
    TropDEnregistrements, // more records than one page allows
    HorsReponse,          // records reaching past the reply's end
    HorsTableau,          // records outside the receiving table
};

// Page header of a reply.
struct PageReponse {
    int premier = 0;
    int dernier = 0;
    int nombre() const { return dernier - premier; }
};

// Request builders: each prepares `bloc` with Clear_Bloc_Entete and sets the request's fields.
void requeteTableApplications(QByteArray& bloc, int premier);         // 0
void requeteNomApplication(QByteArray& bloc, int codeApplication);    // 1
void requeteApplication(QByteArray& bloc, int codeApplication);       // 5
void requeteEcritureGeneral(QByteArray& bloc, const ParVoieT2c& t2c); // 100, record packed
void requeteLectureGeneral(QByteArray& bloc);                         // 101
void requeteEcritureVoies(QByteArray& bloc, const QList<VoieT2cs>& voies, int premier, int nombre); // 102
void requeteLectureVoies(QByteArray& bloc, int premier, int nombre);                                // 103
void requeteRechargeLignes(QByteArray& bloc);                                                       // 105
// Length to send for a request code: the whole block for the requests that carry data (and 105),
// the header alone for the others.
qint16 longueurRequete(quint32 code);

// Packing (requests and, for the simulator and tests, replies).
void Wr_Par_voie_T2c(QByteArray& bloc, const ParVoieT2c& t2c);
// Packs voies[premier .. premier + nombre) into the data part, record 0 first. Indexes outside the
// list or past the block are not written.
void Wr_Par_voie_T2cs(QByteArray& bloc, const QList<VoieT2cs>& voies, int premier, int nombre);
void Wr_Application(QByteArray& bloc, int position, const EnregApplication& app); // data record `position`
void ecrireEnteteReponse(QByteArray& bloc, quint32 statut, int premier, int dernier);
void ecrireNomApplication(QByteArray& bloc, const QString& nom); // reply to request 1

// Reply reading, bounds-checked against the reply's real bytes (`reponse` is exactly what came back).
ErreurReponse lirePage(QByteArrayView reponse, int tailleEnreg, int maxEnreg, PageReponse& page);
// Appends the page's application records to `apps`.
ErreurReponse Rd_Applications(QByteArrayView reponse, QList<EnregApplication>& apps, PageReponse& page);
ErreurReponse Rd_Par_voie_T2c(QByteArrayView reponse, ParVoieT2c& t2c);
// Unpacks the page's line records into `voies` from the page's first index on.
ErreurReponse Rd_Par_voie_T2cs(QByteArrayView reponse, QList<VoieT2cs>& voies, PageReponse& page);
// Reply to request 5: code (6 characters, byte 512) and name (16 characters, byte 518).
ErreurReponse Rd_Application(QByteArrayView reponse, EnregApplication& app);
// Reply to request 1: name (16 characters, byte 40); "" when the server gives none.
ErreurReponse Rd_NomApplication(QByteArrayView reponse, QString& nom);
