#pragma once

// Tolvane's first care at log-on for the user's own files
// (platform/UserFiles.h): says in Hebrew when their folders cannot be
// written (a full disk, no permission), and offers to move the database an
// earlier, copied installation left (common/EarlierInstallation.h). Never
// fails; what goes wrong is logged as "PrepareUserFiles: <description>".
void PrepareUserFiles();
