#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

// One include for a client test: the modal catcher, the file-dialog answerer,
// the simulator fixture and the warning guard.
#include "FileDialogAnswerer.h"
#include "ModalCatcher.h"
#include "SimFixture.h"
#include "WarningGuard.h"

#endif // TESTSUPPORT_H
