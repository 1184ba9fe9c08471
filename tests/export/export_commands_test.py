#!/usr/bin/env python3
"""quarry-cli export, diff and compare, their output read back with Python's own json
and sqlite3 modules. Usage: export_commands_test.py QUARRY_CLI [TestCase...]"""
import json, os, pathlib, resource, signal, sqlite3, subprocess, sys, tempfile, unittest

CLI = sys.argv.pop(1)


def item(zrid, name, ql=b'10', type_=b'Misc', extra=b'', body=b''):
    return b''.join([b'<Item ZRID="%d" Name="%s"' % (zrid, name), b' QL="%s"' % ql if ql else b'',
                     b' ItemType="%s"' % type_ if type_ else b'', extra, b'>', body, b'</Item>'])


def decode_1252(data):  # as the program reads it: unassigned bytes are the C1 controls of that value
    return ''.join(bytes([b]).decode('cp1252', errors='ignore') or chr(b) for b in data)


# Every kind of member: escapes and 8-bit text in names, values and the
# description; negative and zero numbers; an empty requirement set, an action
# without sets, a function without a body.
DESCRIPTION = b'"q" \\ tab\t line\n \x01\x1f caf\xe9 \x80 \x81 \xff'
RICH = item(5, b'Axe \\ &amp; \xe9\x01', type_=b'weapon', body=b'<Description>' + DESCRIPTION + (
    b'</Description><Attribute Name="b" Value="2"/><Attribute Name="A" Value="\x9f"/>'
    b'<Attribute Name="a" Value="1"/><AtkValue Name="Melee" Percent="-3"/><DefValue Name="Dodge" Percent="0"/>'
    b'<Action Name="Wield"><Requirement Stat="Str" Value="5"/><Requirement/></Action><Action Name="Free"></Action>'
    b'<Event Name="OnUse"><Function Name="Hit" Target="User"><Argument Value="5"/>'
    b'<Requirement Stat="X" Value="1"/><Argument Value="\xe9"/></Function><Function Name="Wait"/></Event>'
    b'<Event Name="OnWear"></Event>'))
RICH_JSON = {
    'zrid': 5, 'name': 'Axe \\ &amp; \xe9\x01', 'ql': 10, 'type': 'Weapon', 'nano': False,
    'description': decode_1252(DESCRIPTION), 'attributes': {'A': '\u0178', 'a': '1', 'b': '2'},
    'attack': {'Melee': -3}, 'defense': {'Dodge': 0},
    'actions': {'Free': [], 'Wield': [{'Stat': 'Str', 'Value': '5'}, {}]},
    'events': {'OnUse': [{'attributes': {'Name': 'Hit', 'Target': 'User'},
                          'requirements': [{'Stat': 'X', 'Value': '1'}], 'arguments': ['5', '\xe9']},
                         {'attributes': {'Name': 'Wait'}, 'requirements': [], 'arguments': []}],
               'OnWear': []},
    'folders': ['Weapon/Melee']}
# No type and no body: null type, the stand-in description, empty members.
PLAIN = item(7, b'Plain', type_=None)
PLAIN_JSON = {'zrid': 7, 'name': 'Plain', 'ql': 10, 'type': None, 'nano': False,
              'description': "--there's no description for this item--", 'attributes': {},
              'attack': {}, 'defense': {}, 'actions': {}, 'events': {}, 'folders': []}
EVERY_BYTE = bytes(b for b in range(1, 256) if b != ord('<'))
# Folders are the paths below the root, in tree order (skill folders in the
# order first met): several, one or none; item 16 has no QL and does not load.
FILED = [item(10, b'W10', type_=b'Weapon', body=b'<AtkValue Name="B" Percent="1"/>'),
         item(11, b'W11', type_=b'Weapon', body=b'<AtkValue Name="A" Percent="1"/><AtkValue Name="B" Percent="2"/>'),
         item(12, b'Calm', ql=None, type_=b'Weapon', extra=b' IsNano="True"'),
         item(15, b'Odd', type_=b'Tower'), item(16, b'Lost', ql=None)]
FILED_FOLDERS = {10: ['Weapon/B'], 11: ['Weapon/B', 'Weapon/A'], 12: ['Nanoprogram'], 15: []}
EXPORTED = [RICH, PLAIN, item(9, b'All', body=b'<Description>' + EVERY_BYTE + b'</Description>'), *FILED]


class CliTestCase(unittest.TestCase):
    def setUp(self):
        self.folder = self.enterContext(tempfile.TemporaryDirectory(prefix='quarry-export-test-'))

    def path(self, name):
        return os.path.join(self.folder, name)

    def items_file(self, name, *items):
        pathlib.Path(self.path(name)).write_bytes(b'<Items>' + b''.join(items) + b'</Items>')
        return self.path(name)

    def run_cli(self, *args, **options):
        return subprocess.run([CLI, *args], capture_output=True, **options)

    def export_lines(self, *items):
        done = self.run_cli('export', '--format', 'jsonl', self.items_file('items.xml', *items))
        self.assertEqual((done.returncode, done.stderr), (0, b''))
        return [json.loads(line) for line in done.stdout.decode('utf-8').splitlines()]

    def assertExitsWith(self, status, *cases):
        for args in cases:
            self.assertEqual(self.run_cli(*args).returncode, status, args)


class JsonLines(CliTestCase):
    def test_every_member_reads_back_in_member_order_for_loaded_items_only(self):
        lines = self.export_lines(*EXPORTED)
        self.assertEqual([line['zrid'] for line in lines], [5, 7, 9] + sorted(FILED_FOLDERS))
        rich, plain, every_byte, *filed = lines
        self.assertEqual(list(rich), list(RICH_JSON))  # Python's objects keep the order read
        self.assertEqual(list(rich['attributes']), ['A', 'a', 'b'])  # byte order
        self.assertEqual((rich, plain), (RICH_JSON, PLAIN_JSON))
        self.assertEqual(every_byte['description'], decode_1252(EVERY_BYTE))
        self.assertEqual({line['zrid']: line['folders'] for line in filed}, FILED_FOLDERS)


TABLES = {'items': ['zrid', 'name', 'ql', 'type', 'nano', 'description'],
          'attributes': ['zrid', 'name', 'value'], 'skills': ['zrid', 'kind', 'name', 'percent'],
          'requirements': ['zrid', 'action', 'set_no', 'name', 'value'],
          'functions': ['zrid', 'event', 'function_no', 'name', 'value'],
          'function_requirements': ['zrid', 'event', 'function_no', 'set_no', 'name', 'value'],
          'arguments': ['zrid', 'event', 'function_no', 'arg_no', 'value'], 'folders': ['zrid', 'path']}
INDEXES = {('items', ('name',)), ('attributes', ('name', 'value')), ('folders', ('path',))}


def numbered_pairs(prefix, sets):
    """A row per pair of each numbered set; an empty set still has a row."""
    return [(*prefix, n, k, v) for n, pairs in enumerate(sets, 1) for k, v in (list(pairs.items()) or [(None, None)])]


def add_rows(rows, line):
    """Adds the rows the database holds for one exported item, by table."""
    z = line['zrid']
    rows['items'].append((z, line['name'], line['ql'], line['type'], int(line['nano']), line['description']))
    rows['attributes'] += [(z, k, v) for k, v in line['attributes'].items()]
    rows['skills'] += [(z, kind, k, v) for kind in ('attack', 'defense') for k, v in line[kind].items()]
    for action, sets in line['actions'].items():
        rows['requirements'] += numbered_pairs((z, action), sets) or [(z, action, None, None, None)]
    for event, functions in line['events'].items():
        rows['functions'] += numbered_pairs((z, event), [f['attributes'] for f in functions]) or [
            (z, event, None, None, None)]
        for f, function in enumerate(functions, 1):
            rows['function_requirements'] += numbered_pairs((z, event, f), function['requirements'])
            rows['arguments'] += [(z, event, f, a, v) for a, v in enumerate(function['arguments'], 1)]
    rows['folders'] += [(z, path) for path in line['folders']]


class Database(CliTestCase):
    def export(self, *args):
        return self.run_cli('export', '--format', 'sqlite', '--output', self.path('out.db'), *args,
                            self.items_file('items.xml', *EXPORTED))

    def test_an_existing_file_is_replaced_only_with_force_by_the_rows_of_the_json_export(self):
        pathlib.Path(self.path('out.db')).write_bytes(b'keep')
        refused = self.export()
        self.assertEqual(refused.returncode, 1)
        self.assertIn(b'--force', refused.stderr)
        self.assertEqual(pathlib.Path(self.path('out.db')).read_bytes(), b'keep')
        self.assertEqual(self.export('--force').returncode, 0)
        self.assertEqual(sorted(os.listdir(self.folder)), ['items.xml', 'out.db'])
        expected = {table: [] for table in TABLES}
        for line in self.export_lines(*EXPORTED):
            add_rows(expected, line)
        with sqlite3.connect(self.path('out.db')) as db:
            tables = [name for (name,) in db.execute("SELECT name FROM sqlite_master WHERE type='table'")]
            self.assertEqual(sorted(tables), sorted(TABLES))
            indexes = set()
            for table, columns in TABLES.items():
                self.assertEqual([c[1] for c in db.execute(f'PRAGMA table_info({table})')], columns)
                rows = db.execute(f'SELECT * FROM {table}').fetchall()
                self.assertEqual(sorted(rows, key=repr), sorted(expected[table], key=repr), table)
                for (index,) in db.execute(f"SELECT name FROM pragma_index_list('{table}')"):
                    indexes.add((table, tuple(c[2] for c in db.execute(f"PRAGMA index_info('{index}')"))))
            self.assertEqual(indexes, INDEXES)

    def test_failed_writes_end_with_exit_1_and_leave_no_file_behind(self):
        with open('/dev/full', 'wb') as full:
            done = subprocess.run([CLI, 'export', self.items_file('items.xml', RICH)],
                                  stdout=full, stderr=subprocess.PIPE)
        self.assertEqual(done.returncode, 1)
        self.assertTrue(done.stderr.startswith(b'quarry-cli: write error: '), done.stderr)

        def limit_file_size():  # to 64 KiB: the export fails part way through
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (1 << 16, 1 << 16))
        many = [item(i, b'Item %d' % i, body=b'<Attribute Name="Mass" Value="%d"/>' % i) for i in range(1, 3000)]
        for output in (['--format', 'sqlite'], ['--format', 'jsonl']):
            done = self.run_cli('export', *output, '--output', self.path('out.db'),
                                self.items_file('items.xml', *many), preexec_fn=limit_file_size)
            self.assertEqual(done.returncode, 1, output)
            self.assertTrue(done.stderr.startswith(b'quarry-cli: cannot write '), done.stderr)
            self.assertEqual(os.listdir(self.folder), ['items.xml'])


# Two versions of a file: one item the same, one removed, one changed, one
# that loads only in OLD, one only in NEW, one added; the negative identifier,
# first in NEW, comes last, as the index orders identifiers unsigned.
OLD = [item(1, b'Same'), item(2, b'Gone'), item(3, b'Knife'), item(4, b'Broken', ql=None),
       item(5, b'Fine'), item(-1, b'Last')]
NEW = [item(-1, b'Last'), item(1, b'Same'), item(3, b'Knife', ql=b'12'), item(4, b'Broken'),
       item(5, b'Fine', ql=None), item(6, b'Fresh\t\xe9')]
# One member of RICH changed at a time, as (old bytes, new bytes).
MEMBER_EDITS = [(b'Percent="0"', b'Percent="1"'), (b'"-3"', b'"-4"'), (b'weapon', b'Armor'),
                (b'caf', b'cab'), (b'Wield', b'Wear'), (b'Name="Wait"', b'Name="Rest"'),
                (b'Name="b"', b'Name="c"')]


def member_changes(a, b):
    """(path, old, new) for each compared member in which two exports of an item
    differ: all but the identifier, keyed ones key by key, the folders as one."""
    changes = []
    for member in list(RICH_JSON)[1:]:
        if isinstance(a[member], dict):
            changes += [(f'{member}.{k}', a[member].get(k), b[member].get(k))
                        for k in sorted(a[member] | b[member]) if a[member].get(k) != b[member].get(k)]
        elif a[member] != b[member]:
            changes.append((member, a[member], b[member]))
    return changes


def as_text(differences):
    field = lambda text: text.replace('\t', ' ').replace('\r', ' ').replace('\n', ' ')
    value = lambda v: json.dumps(v, ensure_ascii=False, separators=(',', ':'))
    return ''.join(f'{sign}\t{zrid}\t{field(name)}\n' + ''.join(
        f'\t{field(path)}\t{value(a)} -> {value(b)}\n' for path, a, b in changes)
        for sign, zrid, name, changes in differences)


class Difference(CliTestCase):
    def diff(self, old, new, *args):
        return self.run_cli('diff', *args, self.items_file('old.xml', *old), self.items_file('new.xml', *new))

    def differences(self, old, new):
        """From both files' JSON exports, in index order: items only in NEW (+),
        only in OLD (-), or in both with member changes (~)."""
        before, after = ({line['zrid']: line for line in self.export_lines(*items)} for items in (old, new))
        found = []
        for zrid in sorted(before.keys() | after.keys(), key=lambda z: z % (1 << 32)):
            a, b = before.get(zrid), after.get(zrid)
            if a is None or b is None:
                found.append(('-' if b is None else '+', zrid, (a or b)['name'], []))
            elif changes := member_changes(a, b):
                found.append(('~', zrid, b['name'], changes))
        return found

    def test_text_and_json_lines_report_what_the_json_exports_differ_in(self):
        # A weapon met first makes its skill's folder come first: item 11's folders change order.
        first_a = item(9, b'W9', type_=b'Weapon', body=b'<AtkValue Name="A" Percent="1"/>')
        for old, new in [(OLD, NEW), (OLD, OLD[::-1]), (FILED[:2], [first_a, *FILED[:2]])] + [
                ([RICH], [RICH.replace(*e)]) for e in MEMBER_EDITS]:
            expected = self.differences(old, new)
            text, lines = self.diff(old, new), self.diff(old, new, '--format', 'jsonl')
            self.assertEqual((text.returncode, lines.returncode), (4, 4) if expected else (0, 0))
            self.assertEqual(text.stdout.decode('utf-8'), as_text(expected))
            self.assertEqual([(d['change'], d['zrid'], d['name'], [tuple(m.values()) for m in d.get('members', [])])
                              for d in map(json.loads, lines.stdout.splitlines())], expected)

    def test_unreadable_files_end_with_exit_1_and_wrong_usage_of_diff_or_export_with_2(self):
        missing, readable = self.path('missing.xml'), self.items_file('a.xml', RICH)
        self.assertExitsWith(1, ['diff', missing, readable], ['diff', readable, missing])
        self.assertExitsWith(2, ['diff', 'one'], ['export', '--format', 'sqlite', 'items.xml'], ['export', '--output'],
                             ['export', '--force', 'items.xml'], ['export', '--format', 'csv', 'items.xml'])


MISSING = object()


def member_rows(exports):
    """(path, values) for each member any exported item has, in member order:
    the JSON export's members but the identifier and folders, keyed ones key by
    key, MISSING where an item lacks the key."""
    rows = []
    for member in list(RICH_JSON)[1:-1]:
        if isinstance(exports[0][member], dict):
            rows += [(f'{member}.{k}', [e[member].get(k, MISSING) for e in exports])
                     for k in sorted(set().union(*(e[member] for e in exports)))]
        else:
            rows.append((member, [e[member] for e in exports]))
    return rows


class Compare(CliTestCase):
    def compare(self, items, *args):
        return self.run_cli('compare', *args[:-1], self.items_file('items.xml', *items), *args[-1])

    def test_text_and_json_lines_hold_the_json_exports_members_side_by_side(self):
        items = [RICH, PLAIN, RICH.replace(b'ZRID="5"', b'ZRID="6"').replace(b'"-3"', b'"-4"')]
        exports = {line['zrid']: line for line in self.export_lines(*items)}
        order = [6, 7, 5]
        for differences in ([], ['--differences']):
            rows = [(path, values) for path, values in member_rows([exports[z] for z in order])
                    if not differences or any(v != values[0] for v in values)]
            cell = lambda v: '' if v is MISSING else json.dumps(v, ensure_ascii=False, separators=(',', ':'))
            text = self.compare(items, *differences, list(map(str, order)))
            lines = self.compare(items, '--format', 'jsonl', *differences, list(map(str, order)))
            self.assertEqual((text.returncode, lines.returncode, text.stderr), (0, 0, b''))
            self.assertEqual(text.stdout.decode('utf-8'), 'member\t6\t7\t5\n' + ''.join(
                path + ''.join('\t' + cell(v) for v in values) + '\n' for path, values in rows))
            header, *objects = map(json.loads, lines.stdout.splitlines())
            self.assertEqual(header, {'zrids': order, 'loaded': [True] * 3})
            self.assertEqual([(o['member'], o['values']) for o in objects],
                             [(path, [None if v is MISSING else v for v in values]) for path, values in rows])

    def test_differences_are_the_members_diff_reports_changed_but_the_folders(self):
        for edit in MEMBER_EDITS:
            changed = RICH.replace(*edit)
            diff = json.loads(self.diff_lines([RICH], [changed]))
            expected = [(m['path'], [m['old'], m['new']]) for m in diff['members'] if m['path'] != 'folders']
            done = self.compare([RICH, changed.replace(b'ZRID="5"', b'ZRID="6"')], '--format', 'jsonl',
                                '--differences', ['5', '6'])
            self.assertEqual([(o['member'], o['values']) for o in map(json.loads, done.stdout.splitlines()[1:])],
                             expected, edit)

    def diff_lines(self, old, new):
        return self.run_cli('diff', '--format', 'jsonl', self.items_file('old.xml', *old),
                            self.items_file('new.xml', *new)).stdout

    def test_items_that_do_not_load_end_with_3_and_say_so_and_wrong_usage_with_2(self):
        failed = '--failed to load item data--'
        done = self.compare([PLAIN], ['7', '99'])
        self.assertEqual(done.returncode, 3)
        lines = done.stdout.decode('utf-8').splitlines()
        self.assertEqual(lines[:2], ['member\t7\t99', f'name\t"Plain"\t{failed}'])
        self.assertTrue(all(line.endswith('\t') for line in lines[2:]), lines)
        none = self.compare([PLAIN], '--differences', ['98', '99'])
        self.assertEqual((none.returncode, none.stdout.decode()), (3, f'member\t98\t99\nname\t{failed}\t{failed}\n'))
        lines = self.compare([PLAIN], '--format', 'jsonl', ['99', '7']).stdout.splitlines()
        self.assertEqual(json.loads(lines[0]), {'zrids': [99, 7], 'loaded': [False, True]})
        path = self.items_file('items.xml', PLAIN)
        self.assertExitsWith(2, ['compare', path, '7'], ['compare', path, *['7'] * 9], ['compare', path, '7', 'x'],
                             ['compare', '--format', 'csv', path, '7', '7'], ['compare', path, '7', '7', '--differences'])


if __name__ == '__main__':
    unittest.main()
