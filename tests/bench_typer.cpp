#include "buttons/typerexpansion.h"
#include "tests/testsupport.h"

// How long expanding a typer takes when it holds only date and time tags (no snippets run).
// Run with -median 9 for a steady figure; the target is under a millisecond.
class BenchTyper : public QObject
{
    Q_OBJECT
private slots:
    void hundredDateTimeTags();
};

void BenchTyper::hundredDateTimeTags()
{
    const QStringList tokens = {"Today", "Now",   "year",   "YY",      "MM",   "M",  "DD",
                                "D",     "hh",    "h",      "mm",      "m",    "ss", "s",
                                "day",   "month", "Update", "daytime", "D ;?", "b"};
    QString typer;
    for (int i = 0; i < 100; ++i)
        typer += "<" + tokens.at(i % tokens.size()) + "> and\\t";
    typer += R"(\n)";

    QString expanded;
    QBENCHMARK
    {
        const TyperExpansion::Escaped escaped = TyperExpansion::expandEscapes(typer);
        const QDateTime now = QDateTime::currentDateTime();
        expanded = TyperExpansion::expandTags(escaped.text,
                                              [&](TyperExpansion::TagKind, const QString& body) {
                                                  return TyperExpansion::dateTimeToken(body, now);
                                              });
    }
    QVERIFY(!expanded.contains('<'));
    QCOMPARE(expanded.count("INVALID"), 5);
}

KELVORA_TEST_MAIN(BenchTyper)
#include "bench_typer.moc"
