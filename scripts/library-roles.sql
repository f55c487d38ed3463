-- Roles for a setup library on PostgreSQL. Run once by the library's owner, after a program has
-- created the library's tables (the first `ixo-states library import` run as the owner does):
--     psql "postgresql://owner@host/database" -f library-roles.sql
-- then give each login its role:
--     CREATE ROLE station_07 LOGIN PASSWORD '...' IN ROLE ixo_station;
--     CREATE ROLE alice LOGIN PASSWORD '...' IN ROLE ixo_engineer;
-- Only the owner changes the schema; run the script again after an upgrade adds tables.

DO $$ BEGIN
    CREATE ROLE ixo_station NOLOGIN;
EXCEPTION WHEN duplicate_object THEN NULL;
END $$;
DO $$ BEGIN
    CREATE ROLE ixo_engineer NOLOGIN;
EXCEPTION WHEN duplicate_object THEN NULL;
END $$;

GRANT USAGE ON SCHEMA public TO ixo_station, ixo_engineer;
GRANT SELECT ON ALL TABLES IN SCHEMA public TO ixo_station, ixo_engineer;
GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO ixo_station, ixo_engineer;

-- A station reads and restores: it writes the audit trail and its own undo history, nothing
-- else.
GRANT INSERT ON restores TO ixo_station;
GRANT INSERT, UPDATE, DELETE ON undo_history TO ixo_station;

-- An engineer also captures, renames, removes, releases and imports. The versions and the
-- audit trail only grow: nobody but the owner changes or deletes their rows.
GRANT INSERT ON restores, state_versions TO ixo_engineer;
GRANT INSERT, UPDATE, DELETE ON documents, roles, states, undo_history TO ixo_engineer;
