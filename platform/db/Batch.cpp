#include "Batch.h"

#include "Pipeline.h"
#include "QueryPacket.h"
#include "Statement.h"

namespace platform::db {

void Batch::begin() {
    connection_.refuseNestedTransaction();
    steps_.append({Step::Kind::Begin});
    begins_ = true;
}

void Batch::commit(std::function<void()> committed) {
    steps_.append({Step::Kind::Commit});
    committed_ = std::move(committed);
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
    if (begins_)
        connection_.refuseNestedTransaction();
    results_.clear();
    results_.resize(steps_.size());
    if (connection_.holdsLibpqSession())
        runPipeline(connection_, steps_, results_);
    else
        runOneByOne();
    if (committed_)
        committed_();
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
