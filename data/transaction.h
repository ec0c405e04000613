#pragma once
// One transaction around several statements that must be stored together: begun on
// construction, rolled back on every way out of the scope unless Commit() was reached.
#include "connection.h"

class Transaction
{
public:
    // Begins at once; a failure to begin throws DbError.
    explicit Transaction(Connection &conn) : m_conn(conn) { m_conn.BeginTrans(); }
    ~Transaction()
    {
        if (!m_done)
            m_conn.RollbackTrans();
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // Stores everything; a failed commit throws DbError and the destructor rolls back.
    void Commit()
    {
        m_conn.CommitTrans();
        m_done = true;
    }

private:
    Connection &m_conn;
    bool m_done = false;
};

// Joins the transaction (or counter hold) already open on the connection, whose owner stores
// or undoes everything, or else works as a Transaction of its own.
class JoinedTransaction
{
public:
    explicit JoinedTransaction(Connection &conn) : m_conn(conn), m_own(!conn.InTransaction())
    {
        if (m_own)
            m_conn.BeginTrans();
    }
    ~JoinedTransaction()
    {
        if (m_own && !m_done)
            m_conn.RollbackTrans();
    }
    JoinedTransaction(const JoinedTransaction &) = delete;
    JoinedTransaction &operator=(const JoinedTransaction &) = delete;

    // Stores the transaction of its own; a joined one is stored by its owner.
    void Commit()
    {
        if (!m_own)
            return;
        m_conn.CommitTrans();
        m_done = true;
    }

private:
    Connection &m_conn;
    const bool m_own;
    bool m_done = false;
};
