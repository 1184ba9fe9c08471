#!/usr/bin/env python3
"""quarry-cli export and diff, their output read back with Python's own json
and sqlite3 modules. Usage: export_commands_test.py QUARRY_CLI [TestCase...]"""
import json
import os
import resource
import signal
import sqlite3
import subprocess
import sys
import tempfile
import unittest

CLI = sys.argv.pop(1)


def item(zrid, name, ql=b'10', type_=b'Misc', extra=b'', body=b''):
    head = b'<Item ZRID="%d" Name="%s"' % (zrid, name)
    if ql is not None:
        head += b' QL="' + ql + b'"'
    if type_ is not None:
        head += b' ItemType="' + type_ + b'"'
    return head + extra + b'>' + body + b'</Item>'


def attrs(tag, **pairs):
    return b'<' + tag + b''.join(b' %s="%s"' % (k.encode(), v) for k, v in pairs.items()) + b'/>'


def decode_1252(data):
    """Windows-1252 as the program reads it: the five unassigned bytes are the
    C1 controls of the same value."""
    return ''.join(bytes([b]).decode('cp1252', errors='ignore') or chr(b) for b in data)


# Every kind of member: escapes and 8-bit text in names, values and the
# description; negative and zero numbers; an empty requirement set, an action
# without sets, a function without a body.
DESCRIPTION = b'"q" \\ tab\t line\n \x01\x1f caf\xe9 \x80 \x81 \xff'
RICH = item(5, b'Axe \\ &amp; \xe9\x01', type_=b'weapon', body=(
    b'<Description>' + DESCRIPTION + b'</Description>'
    + attrs(b'Attribute', Name=b'b', Value=b'2') + attrs(b'Attribute', Name=b'A', Value=b'\x9f')
    + attrs(b'Attribute', Name=b'a', Value=b'1')
    + attrs(b'AtkValue', Name=b'Melee', Percent=b'-3') + attrs(b'DefValue', Name=b'Dodge', Percent=b'0')
    + b'<Action Name="Wield">' + attrs(b'Requirement', Stat=b'Str', Value=b'5')
    + b'<Requirement/></Action><Action Name="Free"></Action>'
    + b'<Event Name="OnUse"><Function Name="Hit" Target="User">'
    + attrs(b'Argument', Value=b'5') + attrs(b'Requirement', Stat=b'X', Value=b'1')
    + attrs(b'Argument', Value=b'\xe9') + b'</Function><Function Name="Wait"/></Event>'
    + b'<Event Name="OnWear"></Event>'))
RICH_JSON = {
    'zrid': 5, 'name': 'Axe \\ &amp; \xe9\x01', 'ql': 10, 'type': 'Weapon', 'nano': False,
    'description': decode_1252(DESCRIPTION),
    'attributes': {'A': '\u0178', 'a': '1', 'b': '2'},
    'attack': {'Melee': -3}, 'defense': {'Dodge': 0},
    'actions': {'Free': [], 'Wield': [{'Stat': 'Str', 'Value': '5'}, {}]},
    'events': {
        'OnUse': [{'attributes': {'Name': 'Hit', 'Target': 'User'},
                   'requirements': [{'Stat': 'X', 'Value': '1'}], 'arguments': ['5', '\xe9']},
                  {'attributes': {'Name': 'Wait'}, 'requirements': [], 'arguments': []}],
        'OnWear': []},
    'folders': ['Weapon/Melee'],
}
MEMBER_ORDER = ['zrid', 'name', 'ql', 'type', 'nano', 'description', 'attributes', 'attack',
                'defense', 'actions', 'events', 'folders']

# Filing: skill folders stand in the order first met, not in name order; an
# item can sit in several folders, or in none.
FILED = b''.join([
    item(10, b'W10', type_=b'Weapon', body=attrs(b'AtkValue', Name=b'B', Percent=b'1')),
    item(11, b'W11', type_=b'Weapon', body=attrs(b'AtkValue', Name=b'A', Percent=b'1')
         + attrs(b'AtkValue', Name=b'B', Percent=b'2')),
    item(12, b'Calm', ql=None, type_=b'Weapon', extra=b' IsNano="True"'),
    item(13, b'Pads', type_=b'Armor', body=attrs(b'Attribute', Name=b'Slot', Value=b'LeftShoulder RightShoulder')),
    item(14, b'Perk', type_=b'Armor', body=attrs(b'Attribute', Name=b'Slot', Value=b'10')),
    item(15, b'Odd', type_=b'Tower'),
    item(16, b'Lost', ql=None),  # no QL and no nano flag: does not load
])
FILED_FOLDERS = {10: ['Weapon/B'], 11: ['Weapon/B', 'Weapon/A'], 12: ['Nanoprogram'],
                 13: ['Armor/RightShoulder', 'Armor/LeftShoulder'], 14: ['Perk'], 15: []}


class CliTestCase(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory(prefix='quarry-export-test-')
        self.addCleanup(self.folder.cleanup)

    def path(self, name):
        return os.path.join(self.folder.name, name)

    def items_file(self, name, *items):
        with open(self.path(name), 'wb') as out:
            out.write(b'<Items>' + b''.join(items) + b'</Items>')
        return self.path(name)

    def run_cli(self, *args, **options):
        return subprocess.run([CLI, *args], capture_output=True, **options)

    def export_lines(self, *items):
        done = self.run_cli('export', '--format', 'jsonl', self.items_file('items.xml', *items))
        self.assertEqual((done.returncode, done.stderr), (0, b''))
        # Python's objects keep their members in the order read.
        return [json.loads(line) for line in done.stdout.decode('utf-8').splitlines()]

    def assertNothingBeside(self, *names):
        self.assertEqual(sorted(os.listdir(self.folder.name)), sorted(names))


class JsonLines(CliTestCase):
    def test_every_kind_of_member_reads_back_in_member_order(self):
        [line] = self.export_lines(RICH)
        self.assertEqual(list(line), MEMBER_ORDER)
        self.assertEqual(line, RICH_JSON)
        self.assertEqual(list(line['attributes']), ['A', 'a', 'b'])  # byte order

    def test_item_without_type_or_body_has_null_type_and_empty_members(self):
        [line] = self.export_lines(item(7, b'Plain', type_=None))
        self.assertEqual(line, {
            'zrid': 7, 'name': 'Plain', 'ql': 10, 'type': None, 'nano': False,
            'description': "--there's no description for this item--", 'attributes': {},
            'attack': {}, 'defense': {}, 'actions': {}, 'events': {}, 'folders': []})

    def test_every_byte_of_a_description_reads_back_as_its_character(self):
        text = bytes(b for b in range(1, 256) if b != ord('<'))
        [line] = self.export_lines(item(9, b'All', body=b'<Description>' + text + b'</Description>'))
        self.assertEqual(line['description'], decode_1252(text))

    def test_folders_are_the_tree_paths_in_tree_order_for_loaded_items_only(self):
        lines = self.export_lines(FILED)
        self.assertEqual({line['zrid']: line['folders'] for line in lines}, FILED_FOLDERS)
        self.assertEqual([line['zrid'] for line in lines], sorted(FILED_FOLDERS))

    def test_a_failed_write_ends_with_exit_1(self):
        with open('/dev/full', 'wb') as full:
            done = subprocess.run([CLI, 'export', self.items_file('items.xml', RICH)],
                                  stdout=full, stderr=subprocess.PIPE)
        self.assertEqual(done.returncode, 1)
        self.assertTrue(done.stderr.startswith(b'quarry-cli: write error: '), done.stderr)


TABLES = {
    'items': ['zrid', 'name', 'ql', 'type', 'nano', 'description'],
    'attributes': ['zrid', 'name', 'value'],
    'skills': ['zrid', 'kind', 'name', 'percent'],
    'requirements': ['zrid', 'action', 'set_no', 'name', 'value'],
    'functions': ['zrid', 'event', 'function_no', 'name', 'value'],
    'function_requirements': ['zrid', 'event', 'function_no', 'set_no', 'name', 'value'],
    'arguments': ['zrid', 'event', 'function_no', 'arg_no', 'value'],
    'folders': ['zrid', 'path'],
}
INDEXES = {('items', ('name',)), ('attributes', ('name', 'value')), ('folders', ('path',))}


def pairs_or_none(pairs):
    return list(pairs.items()) or [(None, None)]


def rows_of(line):
    """The rows the database holds for one exported item, by table."""
    z = line['zrid']
    rows = {table: [] for table in TABLES}
    rows['items'].append((z, line['name'], line['ql'], line['type'], int(line['nano']),
                          line['description']))
    rows['attributes'] += [(z, k, v) for k, v in line['attributes'].items()]
    rows['skills'] += [(z, kind, k, v) for kind in ('attack', 'defense') for k, v in line[kind].items()]
    for action, sets in line['actions'].items():
        rows['requirements'] += [(z, action, None, None, None)] if not sets else [
            (z, action, s, k, v) for s, pairs in enumerate(sets, 1) for k, v in pairs_or_none(pairs)]
    for event, functions in line['events'].items():
        if not functions:
            rows['functions'].append((z, event, None, None, None))
        for f, function in enumerate(functions, 1):
            rows['functions'] += [(z, event, f, k, v) for k, v in pairs_or_none(function['attributes'])]
            rows['function_requirements'] += [
                (z, event, f, s, k, v) for s, pairs in enumerate(function['requirements'], 1)
                for k, v in pairs_or_none(pairs)]
            rows['arguments'] += [(z, event, f, a, v) for a, v in enumerate(function['arguments'], 1)]
    rows['folders'] += [(z, path) for path in line['folders']]
    return rows


class Database(CliTestCase):
    def export(self, *args, items=(RICH, FILED), **options):
        return self.run_cli('export', '--format', 'sqlite', '--output', self.path('out.db'), *args,
                            self.items_file('items.xml', *items), **options)

    def test_schema_and_rows_match_the_json_export(self):
        self.assertEqual(self.export().returncode, 0)
        expected = {table: [] for table in TABLES}
        for line in self.export_lines(RICH, FILED):
            for table, rows in rows_of(line).items():
                expected[table] += rows
        with sqlite3.connect(self.path('out.db')) as db:
            tables = [name for (name,) in db.execute("SELECT name FROM sqlite_master WHERE type='table'")]
            self.assertEqual(sorted(tables), sorted(TABLES))
            indexes = set()
            for table in TABLES:
                self.assertEqual([c[1] for c in db.execute(f'PRAGMA table_info({table})')], TABLES[table])
                rows = db.execute(f'SELECT * FROM {table} ORDER BY rowid').fetchall()
                self.assertEqual(sorted(rows, key=repr), sorted(expected[table], key=repr), table)
                for (index,) in db.execute(f"SELECT name FROM pragma_index_list('{table}')"):
                    columns = tuple(c[2] for c in db.execute(f"PRAGMA index_info('{index}')"))
                    indexes.add((table, columns))
            self.assertEqual(indexes, INDEXES)
            self.assertEqual(db.execute('SELECT count(*) FROM items').fetchone(), (7,))
            self.assertEqual(db.execute('SELECT count(*) FROM requirements').fetchone(), (4,))

    def test_an_existing_file_is_replaced_only_with_force(self):
        with open(self.path('out.db'), 'wb') as out:
            out.write(b'keep')
        refused = self.export()
        self.assertEqual(refused.returncode, 1)
        self.assertIn(b'--force', refused.stderr)
        with open(self.path('out.db'), 'rb') as kept:
            self.assertEqual(kept.read(), b'keep')
        self.assertEqual(self.export('--force').returncode, 0)
        with sqlite3.connect(self.path('out.db')) as db:
            self.assertEqual(db.execute('SELECT count(*) FROM items').fetchone(), (7,))
        self.assertNothingBeside('out.db', 'items.xml')

    def test_a_failed_export_leaves_no_file_behind(self):
        # Files may not grow past 64 KiB: the database fails part way through.
        many = [item(i, b'Item %d' % i, body=attrs(b'Attribute', Name=b'Mass', Value=b'%d' % i))
                for i in range(1, 3000)]

        def limit_file_size():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (1 << 16, 1 << 16))
        for output in (['--format', 'sqlite'], ['--format', 'jsonl']):
            done = self.run_cli('export', *output, '--output', self.path('out.db'),
                                self.items_file('items.xml', *many), preexec_fn=limit_file_size)
            self.assertEqual(done.returncode, 1, output)
            self.assertTrue(done.stderr.startswith(b'quarry-cli: cannot write '), done.stderr)
            self.assertNothingBeside('items.xml')

    def test_usage_errors(self):
        for args in (['--format', 'sqlite', 'items.xml'], ['--force', 'items.xml'],
                     ['--format', 'csv', 'items.xml'], ['--output']):
            self.assertEqual(self.run_cli('export', *args).returncode, 2, args)


# Two versions of a file: one item added, one removed, one changed in several
# members, one that loads only in OLD, one only in NEW, one the same. The
# negative identifier comes last, as the index orders identifiers unsigned.
OLD = [item(1, b'Same'), item(2, b'Gone'),
       item(3, b'Knife', body=attrs(b'Attribute', Name=b'Mass', Value=b'5')
            + attrs(b'Attribute', Name=b'Old', Value=b'x') + attrs(b'AtkValue', Name=b'Melee', Percent=b'10')
            + b'<Event Name="OnUse"><Function Name="Hit"/></Event>'),
       item(4, b'Broken', ql=None), item(5, b'Fine'), item(-1, b'Last')]
NEW = [item(1, b'Same'),
       item(3, b'Knife', ql=b'12', body=attrs(b'Attribute', Name=b'Mass', Value=b'6')
            + attrs(b'Attribute', Name=b'New', Value=b'y') + attrs(b'AtkValue', Name=b'Melee', Percent=b'10')
            + b'<Event Name="OnUse"><Function Name="Miss"/></Event>'),
       item(4, b'Broken'), item(5, b'Fine', ql=None), item(6, b'Fresh\t\xe9'), item(-1, b'Last')]
DIFFERENCE = ('-\t2\tGone\n'
              '~\t3\tKnife\n'
              '\tql\t10 -> 12\n'
              '\tattributes.Mass\t"5" -> "6"\n'
              '\tattributes.New\tnull -> "y"\n'
              '\tattributes.Old\t"x" -> null\n'
              '\tevents.OnUse\t[{"attributes":{"Name":"Hit"},"requirements":[],"arguments":[]}] -> '
              '[{"attributes":{"Name":"Miss"},"requirements":[],"arguments":[]}]\n'
              '+\t4\tBroken\n'
              '-\t5\tFine\n'
              '+\t6\tFresh \xe9\n')


class Difference(CliTestCase):
    def diff(self, old, new, *args):
        return self.run_cli('diff', *args, self.items_file('old.xml', *old),
                            self.items_file('new.xml', *new))

    def test_added_removed_and_changed_items_in_index_order(self):
        done = self.diff(OLD, NEW)
        self.assertEqual((done.returncode, done.stdout.decode('utf-8')), (4, DIFFERENCE))

    def test_json_lines_say_the_same(self):
        done = self.diff(OLD, NEW, '--format', 'jsonl')
        self.assertEqual(done.returncode, 4)
        lines = [json.loads(line) for line in done.stdout.decode('utf-8').splitlines()]
        self.assertEqual([(d['change'], d['zrid'], d['name']) for d in lines],
                         [('-', 2, 'Gone'), ('~', 3, 'Knife'), ('+', 4, 'Broken'),
                          ('-', 5, 'Fine'), ('+', 6, 'Fresh\t\xe9')])
        self.assertEqual([(m['path'], m['old'], m['new']) for m in lines[1]['members']][:4],
                         [('ql', 10, 12), ('attributes.Mass', '5', '6'),
                          ('attributes.New', None, 'y'), ('attributes.Old', 'x', None)])

    def test_the_same_items_in_another_file_order_are_no_difference(self):
        done = self.diff(OLD, list(reversed(OLD)))
        self.assertEqual((done.returncode, done.stdout), (0, b''))

    def test_every_member_kind_is_compared(self):
        changed = RICH.replace(b'Percent="0"', b'Percent="1"')
        done = self.diff([RICH], [changed])
        self.assertEqual(done.stdout.decode('utf-8').splitlines()[1:], ['\tdefense.Dodge\t0 -> 1'])
        for old, new, member in ((b'weapon', b'Armor', 'type'), (b'caf', b'cab', 'description'),
                                 (b'Wield', b'Wear', 'actions.Wear'), (b'"-3"', b'"-4"', 'attack.Melee')):
            lines = self.diff([RICH], [RICH.replace(old, new)]).stdout.decode('utf-8').splitlines()
            self.assertEqual(lines[1].split('\t')[1], member, member)

    def test_unreadable_files_and_usage(self):
        missing = self.path('missing.xml')
        self.assertEqual(self.run_cli('diff', missing, self.items_file('a.xml', RICH)).returncode, 1)
        self.assertEqual(self.run_cli('diff', self.items_file('a.xml', RICH), missing).returncode, 1)
        self.assertEqual(self.run_cli('diff', 'one').returncode, 2)


if __name__ == '__main__':
    unittest.main()
