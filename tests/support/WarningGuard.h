#ifndef WARNINGGUARD_H
#define WARNINGGUARD_H

#include <QRegularExpression>

// Fails the running test on any Qt warning, critical or fatal message that
// was not announced, such as "QObject::connect: No such slot ...". Install it
// in initTestCase(), after QtTest has set up its own handler, which keeps
// logging every message.
namespace WarningGuard {

void install();
// The next message matching `pattern` is expected and does not fail. (Use
// this rather than QTest::ignoreMessage, which this guard does not see.)
void expect(const QRegularExpression &pattern);
// Number of unexpected messages since install().
int unexpectedCount();

} // namespace WarningGuard

#endif // WARNINGGUARD_H
