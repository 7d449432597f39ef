#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

// One include for a page test: the page fixture with its modal catcher, the
// file-dialog answerer, the simulator fixture and the warning guard.
#include "FileDialogAnswerer.h"
#include "ModalCatcher.h"
#include "PageFixture.h"
#include "SimFixture.h"
#include "WarningGuard.h"

#endif // TESTSUPPORT_H
