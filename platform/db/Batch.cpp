#include "Batch.h"

#include "Pipeline.h"
#include "QueryPacket.h"
#include "Statement.h"

namespace platform::db {

void Batch::begin() {
    // decided now: the steps before run() cannot open one
    if (!connection_.inTransaction())
        steps_.append({Step::Kind::Begin});
}

void Batch::commit() {
    steps_.append({Step::Kind::Commit});
}

int Batch::add(Statement& statement, NamedValues values) {
    Step step{Step::Kind::Run, &statement, statement.paramNames(), statement.valuesFor(values)};
    // Statements that run one by one meet the hook when they run; a pipeline's are seen as they are
    // queued, before the database sees any of them.
    if (connection_.holdsLibpqSession())
        connection_.aboutToRun(statement.name());
    steps_.append(std::move(step));
    return int(steps_.size()) - 1;
}

void Batch::run() {
    results_.clear();
    results_.resize(steps_.size());
    if (connection_.holdsLibpqSession())
        runPipeline(connection_, steps_, results_);
    else
        runOneByOne();
}

void Batch::runOneByOne() {
    for (qsizetype i = 0; i < steps_.size(); ++i) {
        const Step& step = steps_[i];
        switch (step.kind) {
        case Step::Kind::Begin:
            connection_.beginTransaction();
            break;
        case Step::Kind::Commit:
            connection_.commit();
            break;
        case Step::Kind::Run: {
            Statement& statement = *step.statement;
            if (statement.def().kind == StatementKind::Query)
                results_[i].rows = packetOf(statement.runWith(step.values));
            else
                results_[i].rowsAffected = statement.executeWith(step.values);
            break;
        }
        }
    }
}

} // namespace platform::db
