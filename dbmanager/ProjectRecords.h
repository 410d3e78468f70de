#pragma once
// How a project is split between its template and its profile data, and
// the byte forms both are stored in.
//
// Profile data: the cells of every entered array and scalar of the entered
// layers. Form (little-endian, QDataStream): "QSPD", u32 version 1, u32 object
// count, then per object i32 id (with its layer), u16 rows, u16 columns,
// rows*columns f64 values and as many u8 cell flags.
// Template: the project's streams ("QS1", "GraphData", "DefGraphStyles")
// with the profile data blanked. Form: "QSTP", u32 version 1, three byte arrays.
#include <QByteArray>
#include <QString>

class CProject;

namespace qs::db {

QByteArray EncodeProfileData(const CProject& project);
// Puts the cells into the project. False (and the project unchanged) when
// the bytes are damaged or name an object or shape the project lacks.
bool DecodeProfileData(const QByteArray& bytes, CProject& project, QString* why = nullptr);
// The shapes of the profile data alone (ids, layers, rows, columns): when
// it differs, the data no longer fits its stored record.
QByteArray ProfileDataShape(const CProject& project);

QByteArray EncodeTemplate(const CProject& project);
// Replaces the project with the template's; false (project unchanged) on damage.
bool DecodeTemplate(const QByteArray& bytes, CProject& project);

}  // namespace qs::db
