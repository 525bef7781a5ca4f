#pragma once
#include <QString>

// The name under which a chosen document is copied into the attachments
// folder and kept in the record's File field, so that the record names the
// very file copied: the file's own name as a field of the archive holds it
// (trimmed, converted to Windows-1252 by the archive's one rule, ShortText.h),
// with "_" for each character that a Windows file name cannot hold (the
// controls and \ / : * ? " < > |, so also the "?" that stands for a letter the
// code page lacks: the folder travels on USB sticks and is shared with other
// systems), and a name longer than a field's 250 bytes cut before its
// extension, which it keeps. Stored in a field and read back, it is the same
// name. Empty when the name is blank.
QString AttachmentName(const QString& fileName);

// The letters of the name that AttachmentName changes, with what it puts in
// their place ("Ł → L, : → _"), for the user to be told; empty when none.
QString AttachmentNameChanges(const QString& fileName);
